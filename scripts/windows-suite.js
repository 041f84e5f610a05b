'use strict';

// The JavaScript suite in a Windows Node.js under Wine, on a prefix holding the fixture.
const fs = require('node:fs');
const path = require('node:path');
const { runWindows, stopWineserver } = require('./wine-node');
const { loadFixture } = require('../test/fixtures/registry-fixture');

// Makes the prefix with Wine on first use, then loads the fixture into its hives (the suite's
// earlier writes dropped); Wine reads the hives when its server next starts.
function prepareWinePrefix(node, prefix) {
  if (!fs.existsSync(path.join(prefix, 'system.reg'))) runWindows(node, ['-e', '0'], { prefix });
  stopWineserver(prefix);
  loadFixture(prefix);
}

// Runs `exe` with `args` under Wine under the title `title`, printing its output; true when it
// exited 0.
function runWindowsStep(title, exe, args, prefix) {
  console.log(`\n== ${title}`);
  const { status, output } = runWindows(exe, args, { prefix });
  process.stdout.write(output);
  if (status !== 0) console.log(`== ${title}: failed`);
  return status === 0;
}

// Runs the suite (`tests`: the folder, or its files for releases whose --test takes no folder)
// with `exe` under the title `title`; true when it passed.
function runWindowsSuite(title, exe, prefix, tests = ['test/js/']) {
  return runWindowsStep(title, exe, ['--test', ...tests], prefix);
}

module.exports = { prepareWinePrefix, runWindowsStep, runWindowsSuite };
