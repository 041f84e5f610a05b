'use strict';

// Memory soak: calls each exported function many times and checks that the process's resident
// memory stays flat once warmed up. For each row it samples RSS before the row, after the
// warm-up (the first tenth of its calls) and at the end, after a full GC when run with
// --expose-gc; a row whose RSS grows by more than the threshold after its warm-up fails the
// run. Runs the same under Linux node (on the prefix in WINEPREFIX) and under Windows node.exe.
//
//   node --expose-gc test/memory/run.js [--calls N] [--write-calls N]
//
// --calls: calls per row (default 1000000); --write-calls: calls per row that writes (default
// --calls; on Linux each write replaces the hive file and flushes it, about 1 ms); the rows
// on a failing path make a tenth of --calls. Exit status 1 when a row grew by more than 8 MB.
const registry = require('../..');
const { fixtureKey } = require('../fixtures/registry-fixture');

const key = `HKEY_CURRENT_USER\\${fixtureKey}\\memory`;
const missingKey = `${key}\\missing`;
const noPrefix = `${fixtureKey}\\memory`;
const thresholdMb = 8;

function options(argv) {
  const read = (flag, fallback) => {
    const index = argv.indexOf(flag);
    if (index < 0) return fallback;
    const value = Number(argv[index + 1]);
    if (!(value > 0)) throw new Error(`${flag} needs a positive number`);
    return value;
  };
  const calls = read('--calls', 1000000);
  return { calls, writeCalls: read('--write-calls', calls) };
}

// The data the writers cycle through: made once, so that the calls allocate no JavaScript
// strings of their own (a million fresh strings grow V8's heap by several MB under Wine).
const texts = Array.from({ length: 16 }, (_, n) => `t${n}`);
const text = (i) => texts[i % texts.length];

// Each row: its function, what its calls do, their kind ('valid', 'write', or 'failing' for
// calls that take a failing path), and one call, given its index.
const r = registry;
const rows = [
  ['getString', 'read a value', 'valid', () => r.getString(key, 'text', '')],
  ['getString', 'missing key', 'failing', () => r.getString(missingKey, 'text', 'd')],
  ['getKeyValues', 'list three values', 'valid', () => r.getKeyValues(key)],
  ['getKeyValues', 'missing key', 'failing', () => r.getKeyValues(missingKey)],
  ['getUInt32', 'read a value', 'valid', () => r.getUInt32(key, 'number', 0)],
  ['getUInt32', 'missing key', 'failing', () => r.getUInt32(missingKey, 'number', 1)],
  ['setUInt32', 'overwrite a value', 'write', (i) => r.setUInt32(key, 'number', i)],
  ['setUInt32', 'no root prefix', 'failing', (i) => r.setUInt32(noPrefix, 'number', i)],
  ['setString', 'overwrite a value', 'write', (i) => r.setString(key, 'text', text(i))],
  ['setString', 'no root prefix', 'failing', () => r.setString(noPrefix, 'text', 't')],
  ['getRegistryKeyName', 'hash a name', 'valid', () => r.getRegistryKeyName('Height')],
  ['getRegistryKeyName', 'TypeError', 'failing', () => throwsTypeError(r.getRegistryKeyName)],
  ['setBinaryValue', 'overwrite a value', 'write', (i) => r.setBinaryValue(key, 'b', text(i))],
  ['setBinaryValue', 'no root prefix', 'failing', () => r.setBinaryValue(noPrefix, 'b', 'b')],
  ['deleteKey', 'absent value', 'valid', () => r.deleteKey(key, 'absent')],
  ['deleteKey', 'missing key', 'failing', () => r.deleteKey(missingKey, 'absent')],
];

function throwsTypeError(fn) {
  try {
    fn(42);
  } catch (error) {
    if (error instanceof TypeError) return true;
    throw error;
  }
  throw new Error('no TypeError');
}

function rss() {
  if (global.gc) global.gc();
  return process.memoryUsage().rss;
}

function run(callRow, calls) {
  const warmUp = Math.ceil(calls / 10);
  const before = rss();
  let i = 0;
  for (; i < warmUp; ++i) callRow(i);
  const warm = rss();
  const start = process.hrtime.bigint();
  for (; i < calls; ++i) callRow(i);
  const seconds = Number(process.hrtime.bigint() - start) / 1e9;
  const end = rss();
  return { before, warm, end, microsPerCall: (seconds * 1e6) / (calls - warmUp) };
}

const mb = (bytes) => (bytes / (1024 * 1024)).toFixed(1);

function main() {
  const { calls, writeCalls } = options(process.argv.slice(2));
  const seeded = [
    r.setString(key, 'text', 't'),
    r.setUInt32(key, 'number', 1),
    r.setBinaryValue(key, 'b', 'b'),
  ];
  if (seeded.includes(false)) {
    console.error(`cannot write ${key}`);
    process.exit(1);
  }
  const gc = global.gc ? 'full GC before each sample' : 'no --expose-gc';
  console.log(`${process.platform} node ${process.version}, ${gc}, threshold ${thresholdMb} MB`);
  // Each row is printed when it is done: a full run takes minutes per row.
  const widths = [18, 17, 7, 8, 10, 13, 6, 6, 0];
  const print = (cells) => {
    console.log(cells.map((cell, c) => cell.padEnd(widths[c])).join('  ').trimEnd());
  };
  print(['function', 'calls made', 'n', 'us/call', 'rss before', 'after warm-up', 'end', 'growth']);
  let failed = false;
  const callsOf = { valid: calls, write: writeCalls, failing: Math.ceil(calls / 10) };
  for (const [name, what, kind, callRow] of rows) {
    const rowCalls = callsOf[kind];
    const { before, warm, end, microsPerCall } = run(callRow, rowCalls);
    const growth = end - warm;
    const tooMuch = growth > thresholdMb * 1024 * 1024;
    failed ||= tooMuch;
    const figures = [microsPerCall.toFixed(2), mb(before), mb(warm), mb(end), mb(growth)];
    print([name, what, String(rowCalls), ...figures, tooMuch ? 'GREW' : 'ok']);
  }
  console.log(failed ? 'RSS grew after warm-up' : 'RSS flat after warm-up');
  process.exit(failed ? 1 : 0);
}

main();
