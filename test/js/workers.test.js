'use strict';

// The module loaded in the main thread and in two worker threads at once, all three reading,
// writing and hashing while the others do. Each thread writes under its own key; the main
// thread then checks what the workers wrote.
const test = require('node:test');
const assert = require('node:assert/strict');
const { Worker, isMainThread, parentPort, threadId, workerData } = require('node:worker_threads');
const registry = require('../..');
const { fixtureKey } = require('../fixtures/registry-fixture');

const rounds = 40;
const writtenKey = (thread) => `HKEY_CURRENT_USER\\${fixtureKey}\\written\\${process.pid}-${thread}`;
const textFor = (thread, i) => `thread ${thread} \u00e9 \u{1F600} ${i}`;

// Writes and reads back `rounds` values under the thread's key, reading fixture values and
// hashing names between the writes. Returns the first mismatch, or null.
function exercise(thread) {
  const { getString, getUInt32, setString, setUInt32, getRegistryKeyName, getKeyValues } = registry;
  const key = writtenKey(thread);
  const read = `HKEY_CURRENT_USER\\${fixtureKey}\\read`;
  const checks = [];
  for (let i = 0; i < rounds; i++) {
    checks.push(
      [`setString s${i}`, setString(key, `s${i}`, textFor(thread, i)), true],
      [`setUInt32 n${i}`, setUInt32(key, `n${i}`, thread * 1000 + i), true],
      [`getString s${i}`, getString(key, `s${i}`, ''), textFor(thread, i)],
      [`getUInt32 n${i}`, getUInt32(key, `n${i}`, 0), thread * 1000 + i],
      ['getString sz', getString(read, 'sz', ''), 'abc'],
      ['getString both', getString(read.replace('_CURRENT_USER', '_LOCAL_MACHINE'), 'both', ''), 'machine'],
      [`getRegistryKeyName Height${i}`, getRegistryKeyName(`Height${i}`), `Height${i}_h${jsHash(`Height${i}`)}`],
      ['getRegistryKeyName Height', getRegistryKeyName('Height'), 'Height_h3054065626'],
    );
  }
  checks.push(['value count', getKeyValues(key)[0].length, 2 * rounds]);
  const mismatch = checks.find(([, actual, expected]) => actual !== expected);
  return mismatch ? `${mismatch[0]}: ${JSON.stringify(mismatch[1])}, expected ${JSON.stringify(mismatch[2])}` : null;
}

function jsHash(name) {
  let h = 5381;
  for (const byte of Buffer.from(name, 'utf8')) h = (Math.imul(h, 33) ^ ((byte << 24) >> 24)) >>> 0;
  return h;
}

if (isMainThread) {
  test('the main thread and two workers read and write at the same time', async () => {
    // The workers wait on `start` until the main thread sets it, so all three run together.
    const start = new Int32Array(new SharedArrayBuffer(4));
    const workers = [1, 2].map(() => new Worker(__filename, { workerData: { start } }));
    const results = workers.map(
      (worker) =>
        new Promise((resolve, reject) => {
          worker.once('message', resolve);
          worker.once('error', reject);
        }),
    );
    await Promise.all(
      workers.map((worker) => new Promise((resolve) => worker.once('online', resolve))),
    );
    Atomics.store(start, 0, 1);
    Atomics.notify(start, 0);
    const mainResult = { thread: threadId, mismatch: exercise(threadId) };
    const workerResults = await Promise.all(results);

    for (const { thread, mismatch } of [mainResult, ...workerResults]) {
      assert.equal(mismatch, null, `thread ${thread}`);
    }
    // What each worker wrote is there for the main thread too.
    for (const { thread } of workerResults) {
      assert.notEqual(thread, threadId);
      const [names, data] = registry.getKeyValues(writtenKey(thread));
      assert.equal(names.length, 2 * rounds, `thread ${thread}`);
      assert.equal(data[names.indexOf(`s${rounds - 1}`)], textFor(thread, rounds - 1));
      assert.equal(registry.getUInt32(writtenKey(thread), 'n0', 0), thread * 1000);
    }
  });
} else {
  Atomics.wait(workerData.start, 0, 0);
  parentPort.postMessage({ thread: threadId, mismatch: exercise(threadId) });
}
