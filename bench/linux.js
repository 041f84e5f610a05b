'use strict';

// The in-process Linux figures, on the Wine prefix in WINEPREFIX: getString once the hive is
// parsed, setString (each call writes the hive file back with its fsyncs), and
// getRegistryKeyName next to the same hash in JavaScript and to a native call that only takes
// and returns its string. Prints one JSON line.
const assert = require('node:assert/strict');
const path = require('node:path');
const registry = require('..');
const { perCall, jsRegistryKeyName } = require('./measure');
const { subKey, valueName, settingName } = require('./bench-key');

const reference = require(path.join(__dirname, '..', 'build', 'bench', 'linux', 'bench_addon.node'));

const machinePath = 'HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion';
const userPath = `HKEY_CURRENT_USER\\${subKey}`;

assert.notEqual(registry.getString(machinePath, 'ProductName', ''), '');
assert.equal(registry.setString(userPath, valueName, 'first'), true);
assert.equal(registry.getRegistryKeyName(settingName), jsRegistryKeyName(settingName));

// Each write stores new data, so that none is skipped as a change to nothing.
let writes = 0;
const results = perCall(
  [
    { name: 'getString', calls: 20000, run: () => registry.getString(machinePath, 'ProductName', '') },
    { name: 'setString', calls: 10, run: () => registry.setString(userPath, valueName, `write ${writes++}`) },
    { name: 'getRegistryKeyName', calls: 200000, run: () => registry.getRegistryKeyName(settingName) },
    { name: 'echo call', calls: 200000, run: () => reference.echoCall(settingName) },
    { name: 'JavaScript hash', calls: 200000, run: () => jsRegistryKeyName(settingName) },
  ],
  9,
);
assert.equal(registry.getString(userPath, valueName, ''), `write ${writes - 1}`);
console.log(JSON.stringify({ node: process.version, results }));
