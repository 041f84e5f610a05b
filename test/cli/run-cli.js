'use strict';

// Runs bin/registry-addon.js as a child process on the Wine prefix `prefix`.
const { spawnSync } = require('node:child_process');
const path = require('node:path');

const root = path.join(__dirname, '..', '..');
const bin = path.join(root, 'bin', 'registry-addon.js');

function runCli(prefix, args) {
  const { status, stdout, stderr } = spawnSync(process.execPath, [bin, ...args], {
    encoding: 'utf8',
    env: { ...process.env, WINEPREFIX: prefix },
  });
  return { status, stdout, stderr };
}

module.exports = { root, runCli };
