'use strict';

// Runs the memory soak (run.js, same arguments) in the Windows Node.js under Wine on the
// Windows build, prebuilds/win32-x64/registry.node (scripts/build-win32.js makes it), in a
// prefix of its own: build/wine-prefix-memory.
//
//   node test/memory/wine.js [--calls N] [--write-calls N]
const path = require('node:path');
const { windowsNode, stopWineserver } = require('../../scripts/wine-node');
const { prepareWinePrefix, runWindowsStep } = require('../../scripts/windows-suite');

const windowsNodeVersion = '20.20.2';
const root = path.join(__dirname, '..', '..');
const prefix = path.join(root, 'build', 'wine-prefix-memory');

const node = windowsNode(windowsNodeVersion);
prepareWinePrefix(node, prefix);
const args = ['--expose-gc', 'test/memory/run.js', ...process.argv.slice(2)];
const ok = runWindowsStep(`memory soak, Windows Node.js ${windowsNodeVersion} under Wine`, node, args, prefix);
stopWineserver(prefix);
process.exit(ok ? 0 : 1);
