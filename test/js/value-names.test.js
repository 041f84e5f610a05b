'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const { getRegistryKeyName } = require('../..');

test('getRegistryKeyName appends _h and the hash', () => {
  const cases = [
    ['', '_h5381'],
    ['abc', 'abc_h193409669'],
    ['\u00e9', '\u00e9_h5859471'],
    ['Height', 'Height_h3054065626'],
    ['\u{1F600}', '\u{1F600}_h2086793970'],
  ];
  for (const [name, expected] of cases) assert.equal(getRegistryKeyName(name), expected, name);
});

test('a name holding U+0000 comes back whole, hashed up to the NUL', () => {
  assert.equal(getRegistryKeyName('ab\0c'), 'ab\0c_h5860902');
  assert.equal(getRegistryKeyName('\0'), '\0_h5381');
});

test('arguments after the first make no difference', () => {
  assert.equal(getRegistryKeyName('abc', 1, {}, null), 'abc_h193409669');
});
