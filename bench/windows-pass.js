'use strict';

// Runs bench/windows.js `runs` times in a Windows Node.js under Wine, on the prefix
// build/bench-prefix-win, and prints one JSON line: each figure the median over the runs.
// bench/run.js runs this as it is and under `taskset -c 1`; the prefix's wineserver is
// stopped first, so that the one started here shares the affinity.
const fs = require('node:fs');
const path = require('node:path');
const { windowsNode, runWindows, stopWineserver } = require('../scripts/wine-node');
const { medianOfRuns } = require('./measure');

const root = path.join(__dirname, '..');
const [version, runs] = process.argv.slice(2);
const prefix = path.join(root, 'build', 'bench-prefix-win');
const node = windowsNode(version);

if (!fs.existsSync(path.join(prefix, 'system.reg'))) runWindows(node, ['-e', '0'], { prefix });
stopWineserver(prefix);
const perRun = [];
let nativeRegBinary;
for (let i = 0; i < Number(runs); i++) {
  const { status, output } = runWindows(node, ['bench/windows.js'], { prefix });
  const parsed = JSON.parse(output.trim().split('\n').pop() || '{}');
  if (status !== 0 || parsed.error) throw new Error(`bench/windows.js failed:\n${output}`);
  nativeRegBinary = parsed.nativeRegBinary;
  perRun.push(parsed.results);
}
stopWineserver(prefix);
console.log(JSON.stringify({ nativeRegBinary, results: medianOfRuns(perRun) }));
