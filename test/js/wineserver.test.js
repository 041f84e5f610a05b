'use strict';

// On Linux the module works on the hive files of the prefix. While a wineserver runs for that
// prefix it holds the registry in memory and saves over the files when it exits, so writes are
// refused then. Under Windows the registry is the server's own: nothing to test there.
const test = require('node:test');
const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const registry = require('../..');
const { fixtureKey, loadFixture } = require('../fixtures/registry-fixture');

const hasWineserver = spawnSync('sh', ['-c', 'command -v wineserver']).status === 0;
const skip =
  process.platform === 'win32'
    ? 'the Windows registry is served by the system itself'
    : !hasWineserver && process.env.CI !== 'true' && 'wineserver is not installed';

test('writes are refused while a wineserver runs for the prefix, and nothing is lost', { skip }, (t) => {
  // A prefix of its own: the other suites write to theirs meanwhile.
  const prefix = fs.mkdtempSync(path.join(os.tmpdir(), 'registry-addon-wineserver-'));
  const savedPrefix = process.env.WINEPREFIX;
  const env = { ...process.env, WINEPREFIX: prefix, WINEDEBUG: '-all' };
  loadFixture(prefix);
  process.env.WINEPREFIX = prefix;
  t.after(() => {
    process.env.WINEPREFIX = savedPrefix;
    fs.rmSync(prefix, { recursive: true, force: true });
  });
  const key = `HKEY_CURRENT_USER\\${fixtureKey}\\read`;
  try {
    assert.equal(spawnSync('wineserver', ['-p'], { env, stdio: 'ignore', timeout: 30000 }).status, 0);
    assert.equal(registry.getString(key, 'sz', ''), 'abc', 'reads go on from the files');
    assert.equal(registry.setString(key, 'sz', 'changed'), false);
    assert.equal(registry.setUInt32(key, 'new', 1), false);
    assert.equal(registry.deleteKey(key, 'sz'), false, 'the value is still there');
  } finally {
    spawnSync('wineserver', ['-k'], { env, stdio: 'ignore', timeout: 30000 });
    spawnSync('wineserver', ['-w'], { env, stdio: 'ignore', timeout: 30000 });
  }
  assert.equal(registry.getString(key, 'sz', ''), 'abc');
  assert.equal(registry.getUInt32(key, 'new', 0), 0);
  assert.equal(registry.setString(key, 'sz', 'changed'), true, 'writes go on once it has exited');
  assert.equal(registry.getString(key, 'sz', ''), 'changed');
});
