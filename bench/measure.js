'use strict';

// Timing helpers shared by the Linux and Windows parts of the benchmark.

// The median of `list`.
function median(list) {
  const sorted = [...list].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

// Kept where the optimiser cannot drop the calls that made it.
let lastResult;

// Each case is { name, calls, run } or, for a loop that times itself, { name, calls, timeCalls },
// where timeCalls(calls) returns ns per call. Runs the cases in turn, round after round, so
// that a slow moment of the machine falls on all of them alike; returns each one's median ns
// per call.
function perCall(cases, rounds) {
  const samples = new Map(cases.map(({ name }) => [name, []]));
  const measure = ({ calls, run, timeCalls }) => {
    if (timeCalls) return timeCalls(calls);
    const start = process.hrtime.bigint();
    for (let i = 0; i < calls; i++) lastResult = run();
    return Number(process.hrtime.bigint() - start) / calls;
  };
  for (const testCase of cases) measure({ ...testCase, calls: 1 });
  for (let round = 0; round < rounds; round++) {
    for (const testCase of cases) samples.get(testCase.name).push(measure(testCase));
  }
  return Object.fromEntries([...samples].map(([name, list]) => [name, median(list)]));
}

// Figures from several runs ([{ name: ns }]) as one: each the median over the runs.
function medianOfRuns(runs) {
  return Object.fromEntries(Object.keys(runs[0]).map((name) => [name, median(runs.map((r) => r[name]))]));
}

// The value name of a setting, as getRegistryKeyName derives it, in plain JavaScript: 5381,
// then for each UTF-8 byte of the name up to its first U+0000: times 33, XOR the byte as a
// signed 8-bit number, modulo 2^32.
function jsRegistryKeyName(name) {
  const end = name.indexOf('\0');
  const bytes = Buffer.from(end < 0 ? name : name.slice(0, end), 'utf8');
  let h = 5381;
  for (let i = 0; i < bytes.length; i++) h = (Math.imul(h, 33) ^ ((bytes[i] << 24) >> 24)) >>> 0;
  return `${name}_h${h}`;
}

module.exports = { median, perCall, medianOfRuns, jsRegistryKeyName };
