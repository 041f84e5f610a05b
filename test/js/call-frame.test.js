'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const addon = require('../..');
const { signatures } = require('../fixtures/call-signatures');

// Paths without a root prefix: even a call that got through would touch nothing.
const valid = { text: 'registry-addon-call-frame', number: 1 };
const notText = [undefined, null, 1, true, Symbol('s'), 10n, {}, [], () => {}, new String('x')];
const notNumber = [undefined, null, '1', true, Symbol('s'), 10n, {}, [], new Number(1)];

test('an argument of the wrong type or a missing one is a TypeError', () => {
  for (const [name, kinds] of Object.entries(signatures)) {
    kinds.forEach((kind, index) => {
      for (const bad of kind === 'text' ? notText : notNumber) {
        const args = kinds.map((k) => valid[k]);
        args[index] = bad;
        assert.throws(() => addon[name](...args), TypeError, `${name} argument ${index + 1}`);
      }
      const missing = kinds.slice(0, index).map((k) => valid[k]);
      assert.throws(() => addon[name](...missing), TypeError, `${name} without argument ${index + 1}`);
    });
  }
});

test('the error carries the host\'s message and no code', () => {
  assert.throws(
    () => addon.getRegistryKeyName(42),
    (e) => e instanceof TypeError && e.message === 'A string was expected' && !('code' in e),
  );
});

test('arguments are converted in order: the first failure decides', () => {
  assert.throws(() => addon.setUInt32('p', 5, 'n'), { name: 'TypeError', message: 'A string was expected' });
  assert.throws(() => addon.getUInt32('p', 'n', '5'), { name: 'TypeError', message: 'A number was expected' });
});

test('many arguments behave as the arguments of the table', () => {
  const extra = Array.from({ length: 10 }, (_, i) => i);
  assert.equal(addon.getRegistryKeyName('abc', ...extra), addon.getRegistryKeyName('abc'));
});
