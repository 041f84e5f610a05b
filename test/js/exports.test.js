'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const addon = require('../..');

const exportOrder = [
  'getString',
  'getKeyValues',
  'getUInt32',
  'setUInt32',
  'setString',
  'getRegistryKeyName',
  'setBinaryValue',
  'deleteKey',
];

test('the exports object holds the functions in table order', () => {
  assert.deepEqual(Object.keys(addon), exportOrder);
  for (const name of exportOrder) {
    const descriptor = Object.getOwnPropertyDescriptor(addon, name);
    assert.equal(typeof descriptor.value, 'function', name);
    assert.equal(descriptor.value.name, '', `${name} has no name`);
    assert.ok(descriptor.writable && descriptor.enumerable && descriptor.configurable, name);
  }
});
