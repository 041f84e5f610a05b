'use strict';

// Seed hives for the hive target: the Wine-written fixture files, and hives rendered the way
// the JS suites render their fixtures.

const fs = require('node:fs');
const path = require('node:path');
const { hiveHeader, keyBlock } = require('../fixtures/wine-hive');

const root = path.join(__dirname, '..', '..');

const fixtureFiles = [
  'test/native/platform/fixtures/wine_user.reg',
  'test/native/platform/fixtures/wine_machine.reg',
  'examples/prefix/user.reg',
];

function renderedHives() {
  const user =
    hiveHeader('user.reg') +
    keyBlock('Software\\Fuzz', [
      { name: '', sz: 'default' },
      { name: 'Text', sz: 'caf\u00e9 "quoted" \\ \u20ac\ud83d\ude00' },
      { name: 'Number', dword: 0xdeadbeef },
      { name: 'Bytes', type: 3, bytes: Buffer.from('0001fe', 'hex') },
      { name: 'Long', type: 3, bytes: Buffer.alloc(40, 0xab) },
      { name: 'Multi', type: 7, bytes: Buffer.from('a\0b\0\0', 'utf16le') },
      { name: 'Expand', type: 2, bytes: Buffer.from('%TEMP%\0', 'utf16le') },
    ]) +
    keyBlock('Software\\Fuzz\\Child', [{ name: 'x', dword: 1 }]);
  const system =
    hiveHeader('system.reg') +
    keyBlock('Software\\Classes\\.fuzz', [{ name: '', sz: 'FuzzFile' }]) +
    keyBlock('Software\\Vendor', [{ name: 'Quad', type: 11, bytes: Buffer.alloc(8, 1) }]);
  return { 'rendered-user.reg': user, 'rendered-system.reg': system };
}

// Writes every seed into `directory`.
function writeHiveSeeds(directory) {
  for (const file of fixtureFiles) {
    const name = file.replace(/[\\/]/g, '_');
    fs.copyFileSync(path.join(root, file), path.join(directory, name));
  }
  for (const [name, text] of Object.entries(renderedHives())) {
    fs.writeFileSync(path.join(directory, name), text);
  }
}

module.exports = { writeHiveSeeds };
