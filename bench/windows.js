'use strict';

// The Windows figures, run by bench/windows-pass.js in a Windows Node.js under Wine: our
// getString next to native-reg, winreg and the bare Win32 read loop on the same value, the
// reference native calls, and getRegistryKeyName next to the same hash in JavaScript. Prints
// one JSON line.
const assert = require('node:assert/strict');
const path = require('node:path');
const { median, perCall, jsRegistryKeyName } = require('./measure');
const { subKey, valueName, text, settingName } = require('./bench-key');

const root = path.join(__dirname, '..');
const peers = path.join(root, '.cache', 'bench-peers', 'node_modules');
const registry = require(root);
const nativeReg = require(path.join(peers, 'native-reg'));
const Winreg = require(path.join(peers, 'winreg'));
const reference = require(path.join(root, 'build', 'bench', 'win32', 'bench_addon.node'));

const keyPath = `HKEY_CURRENT_USER\\${subKey}`;
assert.equal(registry.setString(keyPath, valueName, text), true);

// native-reg must run its own Windows binary, not anything built here.
const nativeRegBinary = Object.keys(require.cache).find(
  (file) => file.includes('native-reg') && file.endsWith('.node'),
);
assert.match(nativeRegBinary, /win32-x64/);

function nativeRegTriple() {
  const key = nativeReg.openKey(nativeReg.HKCU, subKey, nativeReg.Access.QUERY_VALUE);
  const value = nativeReg.queryValue(key, valueName);
  nativeReg.closeKey(key);
  return value;
}

function winregGet() {
  const key = new Winreg({ hive: Winreg.HKCU, key: `\\${subKey}` });
  return new Promise((resolve, reject) =>
    key.get(valueName, (error, item) => (error ? reject(error) : resolve(item.value))),
  );
}

async function main() {
  assert.equal(registry.getString(keyPath, valueName, ''), text);
  assert.equal(nativeReg.getValue(nativeReg.HKCU, subKey, valueName), text);
  assert.equal(nativeRegTriple(), text);
  assert.equal(registry.getRegistryKeyName(settingName), jsRegistryKeyName(settingName));

  // A path holding U+0000 reads nothing: the call, its conversions and its result alone.
  const nulPath = `${keyPath}\0`;
  const registryCalls = 200;
  const cheapCalls = 20000;
  const results = perCall(
    [
      { name: 'getString', calls: registryCalls, run: () => registry.getString(keyPath, valueName, '') },
      {
        name: 'Win32 triple',
        calls: registryCalls,
        timeCalls: (calls) => reference.win32ReadLoop(subKey, valueName, calls),
      },
      {
        name: 'native-reg getValue',
        calls: registryCalls,
        run: () => nativeReg.getValue(nativeReg.HKCU, subKey, valueName),
      },
      { name: 'native-reg openKey + queryValue + closeKey', calls: registryCalls, run: nativeRegTriple },
      { name: 'getString, no registry work', calls: cheapCalls, run: () => registry.getString(nulPath, valueName, '') },
      { name: 'empty call', calls: cheapCalls, run: () => reference.emptyCall(keyPath, valueName, '') },
      { name: 'getRegistryKeyName', calls: cheapCalls, run: () => registry.getRegistryKeyName(settingName) },
      { name: 'echo call', calls: cheapCalls, run: () => reference.echoCall(settingName) },
      { name: 'JavaScript hash', calls: cheapCalls, run: () => jsRegistryKeyName(settingName) },
    ],
    41,
  );

  // winreg starts reg.exe for every call: a few calls, each timed alone.
  const winregTimes = [];
  for (let i = 0; i < 5; i++) {
    const start = process.hrtime.bigint();
    assert.equal(await winregGet(), text);
    winregTimes.push(Number(process.hrtime.bigint() - start));
  }
  results['winreg get'] = median(winregTimes);

  console.log(JSON.stringify({ node: process.version, nativeRegBinary, results }));
}

main().catch((error) => {
  console.log(JSON.stringify({ error: String(error.stack) }));
  process.exitCode = 1;
});
