'use strict';

// Runs the JavaScript suite against the Windows build under each supported Windows Node.js
// release in Wine, the fixture reloaded before each, and prints one line per release.
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const { hasCommand, windowsNode, stopWineserver } = require('./wine-node');
const { prepareWinePrefix, runWindowsSuite } = require('./windows-suite');

const root = path.join(__dirname, '..');
const versions = ['18.20.8', '20.20.2', '22.22.0'];
const prefix = path.join(root, 'build', 'wine-prefix-matrix');
// Named one by one: from Node.js 22 on, --test takes files and patterns, not a folder.
const tests = fs
  .readdirSync(path.join(root, 'test', 'js'))
  .filter((name) => name.endsWith('.test.js'))
  .map((name) => `test/js/${name}`);

const missing = ['wine', 'wineserver', 'x86_64-w64-mingw32-g++'].filter((c) => !hasCommand(c));
if (missing.length > 0) {
  console.log(`The matrix needs ${missing.join(', ')}.`);
  process.exit(1);
}
const build = spawnSync(process.execPath, ['scripts/build-win32.js'], { cwd: root, stdio: 'inherit' });
if (build.status !== 0) process.exit(1);

const results = versions.map((version) => {
  const node = windowsNode(version);
  prepareWinePrefix(node, prefix);
  return [version, runWindowsSuite(`JavaScript suite, Windows Node.js ${version} under Wine`, node, prefix, tests)];
});
stopWineserver(prefix);

console.log('');
for (const [version, passed] of results) console.log(`Windows Node.js ${version}: ${passed ? 'passed' : 'failed'}`);
process.exit(results.every(([, passed]) => passed) ? 0 : 1);
