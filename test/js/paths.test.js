'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const { getString, getKeyValues, setString, deleteKey } = require('../..');
const { fixtureKey } = require('../fixtures/registry-fixture');

const DEFAULT = '<default>';

test('root prefixes match in any ASCII letter case', () => {
  for (const prefix of ['HKEY_CURRENT_USER\\', 'hkey_current_user\\', 'HkEy_CuRrEnT_uSeR\\']) {
    assert.equal(getString(`${prefix}${fixtureKey}\\read`, 'sz', DEFAULT), 'abc', prefix);
  }
  assert.equal(getString(`hKEY_local_MACHINE\\${fixtureKey}\\read`, 'both', DEFAULT), 'machine');
});

test('a root name spelt with a non-ASCII letter is no prefix', () => {
  // U+0131 (dotless i) in place of the I of MACHINE.
  const path = `HKEY_LOCAL_MACH\u0131NE\\${fixtureKey}\\read`;
  assert.equal(getString(path, 'both', DEFAULT), DEFAULT);
  assert.equal(setString(path, 'x', 'y'), false);
});

test('a root name without its backslash is a sub-key name, read under each root', () => {
  assert.equal(getString('HKEY_CURRENT_USER', 'sz', DEFAULT), DEFAULT);
  assert.equal(setString('HKEY_CURRENT_USER', 'x', 'y'), false);
});

test('very long paths and unpaired surrogates give the documented results', () => {
  const long = `HKEY_CURRENT_USER\\${'k'.repeat(100000)}`;
  assert.equal(getString(long, 'x', DEFAULT), DEFAULT);
  assert.deepEqual(getKeyValues(long), [[], []]);
  assert.equal(deleteKey(long, 'x'), true);
  const lone = `HKEY_CURRENT_USER\\${fixtureKey}\\written\\surrogate-${process.pid}`;
  assert.equal(setString(lone, 'name \ud800', 'data \udc00'), true);
  // A lone surrogate arrives as U+FFFD, in names and data alike.
  assert.equal(getString(lone, 'name \ufffd', DEFAULT), 'data \ufffd');
});
