'use strict';

// Several processes writing to one key at once: every write that reported success is there at
// the end (on Linux each write re-reads the hive under a lock before replacing it).
const test = require('node:test');
const assert = require('node:assert/strict');
const { spawn } = require('node:child_process');
const path = require('node:path');
const { getString } = require('../..');
const { fixtureKey } = require('../fixtures/registry-fixture');

const key = `HKEY_CURRENT_USER\\${fixtureKey}\\written\\concurrent-${process.pid}`;
const writers = 3;
const valuesEach = 20;

const writerScript = `
  const { setString } = require(${JSON.stringify(path.join(__dirname, '..', '..'))});
  const [key, writer, count] = process.argv.slice(1);
  let failed = 0;
  for (let i = 0; i < Number(count); i++) {
    if (!setString(key, writer + '-' + i, 'value ' + i)) failed++;
  }
  process.exitCode = failed;
`;

function runWriter(writer) {
  const child = spawn(process.execPath, ['-e', writerScript, key, String(writer), String(valuesEach)], {
    stdio: 'ignore',
  });
  return new Promise((resolve) => child.on('exit', resolve));
}

test('writes from several processes at once are all kept', async () => {
  const failures = await Promise.all(Array.from({ length: writers }, (_, w) => runWriter(w)));
  assert.deepEqual(failures, Array(writers).fill(0), 'every write reported success');
  for (let w = 0; w < writers; w++) {
    for (let i = 0; i < valuesEach; i++) {
      assert.equal(getString(key, `${w}-${i}`, '<lost>'), `value ${i}`, `${w}-${i}`);
    }
  }
});
