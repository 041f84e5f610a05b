'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const registry = require('../..');
const { fixtureKey } = require('../fixtures/registry-fixture');

const { getString, getUInt32, getKeyValues, setUInt32, setString, setBinaryValue, deleteKey } =
  registry;
const written = `HKEY_CURRENT_USER\\${fixtureKey}\\written\\${process.pid}`;

test('values written read back', () => {
  assert.equal(setString(written, 'text', 'h\u00e9llo \u{1F600}'), true);
  assert.equal(getString(written, 'text', ''), 'h\u00e9llo \u{1F600}');
  assert.equal(setString(written, 'empty', ''), true);
  assert.equal(getString(written, 'empty', '<default>'), '');
  assert.equal(setUInt32(written, 'max', 4294967295), true);
  assert.equal(getUInt32(written, 'max', 0), 4294967295);
  assert.equal(setUInt32(written, 'minus one', -1), true);
  assert.equal(getUInt32(written, 'minus one', 0), 4294967295);
  // Three UTF-8 bytes and the terminating zero make a 4-byte REG_BINARY: a number.
  assert.equal(setBinaryValue(written, 'bin', 'abc'), true);
  assert.equal(getUInt32(written, 'bin', 0), 0x00636261);
  assert.equal(setBinaryValue(written, 'bin empty', ''), true);
  assert.deepEqual(getKeyValues(written), [
    ['bin', 'bin empty', 'empty', 'max', 'minus one', 'text'],
    ['abc', '', '', '\ufffd\ufffd\ufffd\ufffd', '\ufffd\ufffd\ufffd\ufffd', 'h\u00e9llo \u{1F600}'],
  ]);
});

test('text is stored up to its first U+0000', () => {
  assert.equal(setString(written, 'cut', 'ab\0cd'), true);
  assert.equal(getString(written, 'cut', ''), 'ab');
  assert.equal(setBinaryValue(written, 'cut bin', 'xy\0z'), true);
  assert.deepEqual(getKeyValues(written)[1][getKeyValues(written)[0].indexOf('cut bin')], 'xy');
});

test('writing creates missing keys; the empty value name is the default value', () => {
  const deep = `${written}\\a\\b\\c`;
  assert.equal(setString(deep, '', 'unnamed'), true);
  assert.equal(getString(deep, '', ''), 'unnamed');
  assert.deepEqual(getKeyValues(deep), [[''], ['unnamed']]);
});

test('a prefix alone names the root key itself', () => {
  const name = `registry-addon-root-value-${process.pid}`;
  assert.equal(setString('HKEY_CURRENT_USER\\', name, 'at root'), true);
  assert.equal(getString('HKEY_CURRENT_USER\\', name, ''), 'at root');
  // The empty path has no prefix: it names the roots, HKEY_CURRENT_USER first.
  assert.equal(getString('', name, ''), 'at root');
  assert.equal(deleteKey('hkey_current_user\\', name), true);
  assert.equal(getString('HKEY_CURRENT_USER\\', name, 'gone'), 'gone');
});

test('writers and deleteKey refuse a path without a prefix or with U+0000', () => {
  const paths = [
    `${fixtureKey}\\written`,
    `HKEY_CURRENT_USER${fixtureKey}`,
    `HKEY_CURRENT_USER/${fixtureKey}`,
    ` HKEY_CURRENT_USER\\${fixtureKey}`,
    `HKEY_USERS\\${fixtureKey}`,
    'HKCU\\Software',
    `${written}\0\\elsewhere`,
  ];
  for (const path of paths) {
    assert.equal(setString(path, 'x', 'y'), false, path);
    assert.equal(setUInt32(path, 'x', 1), false, path);
    assert.equal(setBinaryValue(path, 'x', 'y'), false, path);
    assert.equal(deleteKey(path, 'x'), false, path);
  }
  assert.equal(setString(written, 'name\0cut', 'y'), false);
  assert.equal(getString(written, 'name', '<none>'), '<none>');
  assert.equal(deleteKey(written, 'text\0'), false);
  assert.equal(getString(written, 'text', ''), 'h\u00e9llo \u{1F600}');
});

test('deleteKey is true when the value is gone afterwards', () => {
  assert.equal(setString(written, 'doomed', 'x'), true);
  assert.equal(deleteKey(written, 'doomed'), true);
  assert.equal(getString(written, 'doomed', 'gone'), 'gone');
  assert.equal(deleteKey(written, 'doomed'), true, 'value already missing');
  assert.equal(deleteKey(`${written}\\no such key`, 'doomed'), true, 'key missing');
});

test('a failed argument conversion writes nothing', () => {
  assert.throws(() => setString(written, 'two args'), TypeError);
  assert.throws(() => setUInt32(written, 'n', '5'), TypeError);
  assert.throws(() => setUInt32(written, 5, 'n'), { message: 'A string was expected' });
  assert.throws(() => deleteKey(written), TypeError);
  assert.deepEqual(
    getKeyValues(written)[0].filter((n) => n === 'two args' || n === 'n'),
    [],
  );
  assert.equal(getString(written, 'text', ''), 'h\u00e9llo \u{1F600}');
});
