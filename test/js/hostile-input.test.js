'use strict';

// Hostile arguments at the JavaScript boundary: values of every kind in every argument
// position, strings of 16 MB, unpaired surrogates and U+0000. Each call throws a TypeError or
// gives the documented result, and the module keeps working afterwards.
const test = require('node:test');
const assert = require('node:assert/strict');
const addon = require('../..');
const { fixtureKey } = require('../fixtures/registry-fixture');
const { signatures } = require('../fixtures/call-signatures');

const { getString, getKeyValues, getUInt32, setUInt32, setString, setBinaryValue, deleteKey } =
  addon;
const key = `HKEY_CURRENT_USER\\${fixtureKey}\\hostile\\${process.pid}`;
const DEFAULT = '<default>';

const valid = { text: `${key}\\unreached`, number: 1 };
const expectedMessage = { text: 'A string was expected', number: 'A number was expected' };

// Every conversion hook, property read and Proxy trap that reaches these objects counts here
// and throws: the module must reach none of them.
let hooksRun = 0;
function hook() {
  hooksRun += 1;
  throw new Error('a conversion hook ran');
}
const throwingHandler = new Proxy({}, { get: hook });
const hooked = {
  [Symbol.toPrimitive]: hook,
  toString: hook,
  valueOf: hook,
  get length() {
    return hook();
  },
};
const revocable = Proxy.revocable({}, {});
revocable.revoke();

const numbers = [
  ['NaN', NaN, 0],
  ['Infinity', Infinity, 0],
  ['-Infinity', -Infinity, 0],
  ['-0', -0, 0],
  ['2^53', 2 ** 53, 0],
  ['2^64', 2 ** 64, 0],
  ['-1', -1, 4294967295],
  ['3.7', 3.7, 3],
  ['-3.7', -3.7, 4294967293],
  ['2^32 + 5', 2 ** 32 + 5, 5],
  ['Number.MAX_VALUE', Number.MAX_VALUE, 0],
  ['Number.MIN_VALUE', Number.MIN_VALUE, 0],
];
const neitherTextNorNumber = [
  ['undefined', undefined],
  ['null', null],
  ['BigInt', 2n ** 64n],
  ['true', true],
  ['false', false],
  ['Symbol', Symbol('s')],
  ['well-known Symbol', Symbol.toPrimitive],
  ['plain object', {}],
  ['object without prototype', Object.create(null)],
  ['array of a string', ['x']],
  ['array of a number', [1]],
  ['function', () => 'x'],
  ['boxed string', new String('x')],
  ['boxed number', new Number(1)],
  ['boxed boolean', new Boolean(false)],
  ['boxed Symbol', Object(Symbol('s'))],
  ['boxed BigInt', Object(1n)],
  ['instance of a String subclass', new (class extends String {})('x')],
  ['Proxy whose every trap throws', new Proxy({}, throwingHandler)],
  ['callable Proxy whose every trap throws', new Proxy(function target() {}, throwingHandler)],
  ['revoked Proxy', revocable.proxy],
  ['object with throwing toString, valueOf and Symbol.toPrimitive', hooked],
];
const rejected = {
  text: [...neitherTextNorNumber, ...numbers],
  number: [...neitherTextNorNumber, ['numeric string', '1'], ['empty string', '']],
};

test('a value of the wrong kind anywhere is a TypeError; later arguments are not read', () => {
  for (const [name, kinds] of Object.entries(signatures)) {
    kinds.forEach((kind, index) => {
      for (const [label, bad] of rejected[kind]) {
        // Arguments after the bad one, and one extra, are hooked objects.
        const args = [...kinds.map((k) => valid[k]).slice(0, index), bad];
        while (args.length <= kinds.length) args.push(hooked);
        assert.throws(
          () => addon[name](...args),
          (e) => e instanceof TypeError && e.message === expectedMessage[kind],
          `${name} argument ${index + 1}: ${label}`,
        );
      }
    });
  }
  assert.equal(hooksRun, 0);
});

test('every number is accepted and reduced as ToUint32 reduces it', () => {
  for (const [label, number, expected] of numbers) {
    assert.ok(Object.is(getUInt32(key, 'missing', number, hooked), expected), `default ${label}`);
    assert.equal(setUInt32(key, 'number', number, hooked), true, label);
    assert.ok(Object.is(getUInt32(key, 'number', 1), expected), `written ${label}`);
  }
  assert.equal(hooksRun, 0);
});

// Each function called with a given path and value name, its other argument valid. Writers
// come first, so that the readers after them would see what a refused write left behind.
const calls = {
  setUInt32: (path, name) => setUInt32(path, name, 1),
  setString: (path, name) => setString(path, name, 'x'),
  setBinaryValue: (path, name) => setBinaryValue(path, name, 'x'),
  deleteKey: (path, name) => deleteKey(path, name),
  getString: (path, name) => getString(path, name, DEFAULT),
  getUInt32: (path, name) => getUInt32(path, name, 7),
  getKeyValues: (path) => getKeyValues(path),
};
// What a path or name that names no key or value gives: the default, false, empty lists;
// deleteKey finds nothing to delete, and `deleteFlag` says what it reports for that.
const refused = (deleteFlag) => ({
  setUInt32: false,
  setString: false,
  setBinaryValue: false,
  deleteKey: deleteFlag,
  getString: DEFAULT,
  getUInt32: 7,
  getKeyValues: [[], []],
});

// Runs every call of `calls` with `path` (and `name`, where the function takes one) and
// compares each result with `expected`.
function assertCalls(label, path, name, expected) {
  for (const [fn, call] of Object.entries(calls)) {
    if (name !== undefined && fn === 'getKeyValues') continue;
    assert.deepEqual(call(path, name ?? 'v'), expected[fn], `${fn}: ${label}`);
  }
}

test('strings of 16 MB in every text position', () => {
  const huge = 'x'.repeat(16 * 1024 * 1024);
  // A key name component of 16 MB names no key, and a value name of 16 MB no value: a write
  // is refused, and there is nothing to read or delete.
  assertCalls('16 MB path', `${key}\\${huge}`, undefined, refused(true));
  assertCalls('16 MB value name', key, huge, refused(true));

  assert.equal(getString(key, 'missing', huge), huge);
  const hashed = addon.getRegistryKeyName(huge);
  assert.ok(hashed.startsWith(huge) && /^_h\d+$/.test(hashed.slice(huge.length)));

  // 16 MB of data is stored; it is too long for getString and getKeyValues, and no number.
  assert.equal(setString(key, 'huge text', huge), true);
  assert.equal(setBinaryValue(key, 'huge bytes', huge), true);
  assert.equal(getString(key, 'huge text', DEFAULT), DEFAULT);
  assert.equal(getUInt32(key, 'huge bytes', 7), 7);
  assert.deepEqual(getKeyValues(key)[0].filter((n) => n.startsWith('huge')), []);
  assert.equal(deleteKey(key, 'huge text'), true);
  assert.equal(deleteKey(key, 'huge bytes'), true);
});

test('unpaired surrogates arrive as one U+FFFD per unit, in every text position', () => {
  const lone = [
    ['lone high', '\ud800'],
    ['lone low', '\udc00'],
    ['reversed pair', '\udc00\ud800'],
  ];
  for (const [label, units] of lone) {
    const replaced = '\ufffd'.repeat(units.length);
    const path = `${key}\\${label} ${units}`;
    const stored = `${key}\\${label} ${replaced}`;
    assert.equal(setString(path, `text ${units}`, `data ${units}`), true, label);
    assert.equal(setUInt32(path, `number ${units}`, 5), true, label);
    assert.equal(setBinaryValue(path, `bytes ${units}`, units), true, label);
    const listed = [
      [`bytes ${replaced}`, `number ${replaced}`, `text ${replaced}`],
      [replaced, '\u0005', `data ${replaced}`],
    ];
    assert.deepEqual(getKeyValues(path), listed, label);
    assert.deepEqual(getKeyValues(stored), listed, label);
    assert.equal(getString(stored, `text ${replaced}`, DEFAULT), `data ${replaced}`, label);
    assert.equal(getString(path, `text ${units}`, DEFAULT), `data ${replaced}`, label);
    assert.equal(getUInt32(stored, `number ${replaced}`, 0), 5, label);
    assert.equal(getString(path, 'missing', units), replaced, label);
    assert.equal(addon.getRegistryKeyName(units), addon.getRegistryKeyName(replaced), label);
    assert.equal(deleteKey(path, `text ${units}`), true, label);
    assert.equal(getString(stored, `text ${replaced}`, DEFAULT), DEFAULT, label);
  }
});

test('U+0000 in every text position', () => {
  const nul = `${key}\\nul`;
  assert.equal(setString(nul, 'v', 'kept'), true);
  // Cut at the U+0000 these would name the key or its value: they name nothing.
  for (const path of [`${nul}\0`, `${nul}\0\\elsewhere`, `\0${nul}`]) {
    assertCalls(JSON.stringify(path), path, undefined, refused(false));
  }
  for (const name of ['v\0', 'v\0tail', '\0v']) {
    assertCalls(JSON.stringify(name), nul, name, refused(false));
  }
  assert.deepEqual(getKeyValues(nul), [['v'], ['kept']]);

  // Text, data and defaults are used up to their first U+0000.
  assert.equal(getString(nul, 'missing', 'ab\0cd'), 'ab');
  assert.equal(setString(nul, 'text', 'ab\0cd'), true);
  assert.equal(setBinaryValue(nul, 'bytes', 'xy\0z'), true);
  assert.deepEqual(getKeyValues(nul), [['bytes', 'text', 'v'], ['xy', 'ab', 'kept']]);
  const hashOfAb = addon.getRegistryKeyName('ab').slice('ab'.length);
  assert.equal(addon.getRegistryKeyName('ab\0c'), `ab\0c${hashOfAb}`);
});

test('after all of it the module still writes and reads', () => {
  assert.equal(setString(key, 'after', 'still working'), true);
  assert.equal(getString(key, 'after', DEFAULT), 'still working');
  assert.equal(setUInt32(key, 'after number', 42), true);
  assert.equal(getUInt32(key, 'after number', 0), 42);
  assert.equal(deleteKey(key, 'after'), true);
  assert.equal(getString(key, 'after', DEFAULT), DEFAULT);
  assert.equal(hooksRun, 0);
});
