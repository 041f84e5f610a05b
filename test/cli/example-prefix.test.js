'use strict';

// The example prefix that the README's first command lists: read as written, and never changed
// by reading.
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { root, runCli } = require('./run-cli');

const prefix = path.join(root, 'examples', 'prefix');
const key = 'HKEY_CURRENT_USER\\Software\\Example';

const snapshot = () =>
  fs.readdirSync(prefix).map((file) => [file, fs.readFileSync(path.join(prefix, file))]);

test('the example key lists every value as written', () => {
  // A REG_EXPAND_SZ comes back expanded; a variable that is not set stays as written.
  const appData = process.env.APPDATA ?? '%APPDATA%';
  const before = snapshot();
  const { status, stdout } = runCli(prefix, ['list', key, '--json']);
  assert.equal(status, 0);
  assert.deepEqual(JSON.parse(stdout).values, [
    { name: '', value: 'Example settings' },
    { name: 'Greeting', value: 'Hello from the example prefix' },
    { name: 'Theme', value: 'dark' },
    { name: 'Caf\u00e9', value: 'cr\u00e8me br\u00fbl\u00e9e' },
    { name: 'Retries', value: 3 },
    { name: 'Flags', value: 4294967295 },
    { name: 'Signature', value: 'RG' },
    { name: 'Magic', value: 42 },
    { name: 'LogFolder', value: `${appData}\\Example\\logs` },
    { name: 'Recent', value: 'first.txt\0second.txt\0' },
  ]);
  assert.deepEqual(snapshot(), before, 'reading left the example prefix as it was');
});

test('the example key holds settings under their hashed names', () => {
  const window = `${key}\\Window`;
  for (const [setting, expected] of [
    ['Height', '768'],
    ['Width', '1024'],
    ['Title', 'Example window'],
  ]) {
    assert.deepEqual(runCli(prefix, ['get-setting', window, setting]), {
      status: 0,
      stdout: `${expected}\n`,
      stderr: '',
    });
  }
});
