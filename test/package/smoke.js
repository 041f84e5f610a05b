'use strict';

// Run from a folder where registry-addon was installed from its tarball: uses each kind of call
// once and prints what it saw as one JSON line.
const registry = require('registry-addon');

const key = 'HKEY_CURRENT_USER\\Software\\registry-addon-package-smoke';
const result = {
  loaded: Object.keys(require.cache).find((file) => file.endsWith('.node')),
  keyName: registry.getRegistryKeyName('Height'),
  writes: [registry.setString(key, 'text', 'h\u00e9llo'), registry.setUInt32(key, 'n', 42)],
  text: registry.getString(key, 'text', ''),
  number: registry.getUInt32(key, 'n', 0),
  listed: registry.getKeyValues(key)[0].sort(),
  deleted: [registry.deleteKey(key, 'text'), registry.deleteKey(key, 'n')],
  after: registry.getKeyValues(key),
};
console.log(JSON.stringify(result));
