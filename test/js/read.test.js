'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const { getString, getUInt32 } = require('../..');
const { fixtureKey } = require('../fixtures/registry-fixture');

const user = `HKEY_CURRENT_USER\\${fixtureKey}\\read`;
const DEFAULT = '<default>';

process.env.REGISTRY_ADDON_TEST_VAR = 'expanded';
process.env.REGISTRY_ADDON_LONG_VAR = 'L'.repeat(3000);
delete process.env.REGISTRY_ADDON_UNSET_VAR;

test('getString reads string values by type and size', () => {
  const cases = [
    ['sz', 'abc'],
    ['', 'default value'],
    ['h\u00e9llo \u{1F600}', 'w\u00f6rld \u{1F600}'],
    // Stored without its terminator: the last character is data, not a NUL to drop.
    ['sz_unterminated', 'abc'],
    ['sz_terminator_only', ''],
    ['sz_odd', 'a'],
    ['sz_nul_inside', 'a\0b'],
    ['sz_one_byte', DEFAULT],
    ['sz_empty', DEFAULT],
    ['sz_4096', 'x'.repeat(2047)],
    ['sz_4098', DEFAULT],
    ['multi', 'a\0b\0'],
    ['expand', '[expanded]'],
    ['expand_unset', '%REGISTRY_ADDON_UNSET_VAR%x'],
    ['expand_nul_inside', 'expanded'],
    // An expansion longer than the first buffer is expanded again, whole.
    ['expand_long', `${'L'.repeat(3000)}!`],
    ['expand_one_byte', ''],
    ['expand_empty', DEFAULT],
    ['dword', DEFAULT],
    ['bin4', DEFAULT],
    ['missing', DEFAULT],
  ];
  for (const [name, expected] of cases) {
    assert.equal(getString(user, name, DEFAULT), expected, JSON.stringify(name));
  }
  assert.equal(getString(`${user}\\missing-key`, 'sz', DEFAULT), DEFAULT);
});

test('getUInt32 reads 4-byte REG_DWORD and REG_BINARY values, little-endian', () => {
  const cases = [
    ['dword', 4294967295],
    ['bin4', 0x04030201],
    ['bin3', 7],
    ['bin5', 7],
    ['dword_be', 7],
    ['qword', 7],
    ['dword_short', 7],
    ['sz', 7],
    ['missing', 7],
  ];
  for (const [name, expected] of cases) assert.equal(getUInt32(user, name, 7), expected, name);
  assert.equal(getUInt32(user, 'missing', -1), 4294967295);
  assert.equal(getUInt32(user, 'missing', 3.7), 3);
});

test('a path with a prefix reads under that root only', () => {
  assert.equal(getString(user, 'fallback', DEFAULT), DEFAULT);
  assert.equal(getString(`HKEY_LOCAL_MACHINE\\${fixtureKey}\\read`, 'both', DEFAULT), 'machine');
  assert.equal(getString(`hkey_classes_root\\registry-addon-tests\\read`, 'classes_sz', DEFAULT), 'classes');
  assert.equal(getUInt32(`HKEY_LOCAL_MACHINE\\${fixtureKey}\\read`, 'machine_dword', 0), 7);
});

test('a path without a prefix tries HKCU, HKLM, then (for strings) HKCR', () => {
  const bare = `${fixtureKey}\\read`;
  assert.equal(getString(bare, 'both', DEFAULT), 'user');
  assert.equal(getString(bare, 'fallback', DEFAULT), 'from machine');
  // The key exists under HKCU without the value; HKLM has it.
  assert.equal(getString(`${bare}\\no-value-here`, 'fallback_value', DEFAULT), 'machine');
  assert.equal(getString('registry-addon-tests\\read', 'classes_sz', DEFAULT), 'classes');
  assert.equal(getUInt32(bare, 'machine_dword', 0), 7);
  assert.equal(getUInt32('registry-addon-tests\\read', 'classes_dword', 0), 0);
});

test('the default comes back cut before U+0000', () => {
  assert.equal(getString(user, 'missing', 'ab\0cd'), 'ab');
});

test('U+0000 in a path or value name reads nothing', () => {
  // Cut at the NUL these would name existing values; they name none.
  assert.equal(getString(`${user}\0junk`, 'sz', DEFAULT), DEFAULT);
  assert.equal(getString(user, 'sz\0junk', DEFAULT), DEFAULT);
  assert.equal(getUInt32(user, 'dword\0', 7), 7);
});
