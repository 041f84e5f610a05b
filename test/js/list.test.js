'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const { getKeyValues } = require('../..');
const { fixtureKey } = require('../fixtures/registry-fixture');

const list = `HKEY_CURRENT_USER\\${fixtureKey}\\list`;

test('getKeyValues lists names and data in enumeration order', () => {
  assert.deepEqual(getKeyValues(list), [
    ['A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', '\u00c9t\u00e9'],
    // A REG_DWORD gives its bytes up to the first zero byte; a REG_MULTI_SZ its first string;
    // a REG_EXPAND_SZ its text unexpanded; binary data its bytes up to the first zero byte.
    ['1', 'A', '', 'ABCD', 'first', '%REGISTRY_ADDON_TEST_VAR%', 'ab', '', '\u00e9t\u00e9 \u{1F600}'],
  ]);
});

test('names of 254 code units and data of 8191 bytes are the longest listed', () => {
  const [names, data] = getKeyValues(`${list}\\limits`);
  assert.deepEqual(names.map((n) => n.length).sort(), [254, 'size_8190'.length, 'size_8191'.length].sort());
  assert.deepEqual(data.map((d) => d.length).sort(), [11, 8190, 8191].sort());
});

test('a path without a prefix lists under HKEY_CURRENT_USER only', () => {
  assert.deepEqual(getKeyValues(`${fixtureKey}\\list`)[0][0], 'A');
  assert.deepEqual(getKeyValues(`hkey_current_user\\${fixtureKey}\\list`)[0].length, 9);
  assert.deepEqual(getKeyValues(`HKEY_LOCAL_MACHINE\\${fixtureKey}\\list`), [['machine_only'], ['x']]);
});

test('the unnamed default value is listed with an empty name', () => {
  assert.deepEqual(getKeyValues(`${list}\\with-default`), [[''], ['unnamed']]);
});

test('a missing key, an empty key and a path holding U+0000 give [[], []]', () => {
  assert.deepEqual(getKeyValues(`${list}\\empty`), [[], []]);
  assert.deepEqual(getKeyValues(`${list}\\missing`), [[], []]);
  assert.deepEqual(getKeyValues(`${list}\0junk`), [[], []]);
});

test('a sub-key path longer than 259 bytes is passed whole', () => {
  const deep = `${list}\\${'k'.repeat(300)}`;
  assert.deepEqual(getKeyValues(deep), [[], []]);
});
