'use strict';

// Values one target writes and the other reads back, over the same Wine prefix.
const registry = require('../..');

const key = (side) => `HKEY_CURRENT_USER\\Software\\registry-addon-tests\\interop\\${side}`;

function write(side) {
  const path = key(side);
  const ok = [
    registry.setString(path, '', 'unnamed'),
    registry.setString(path, 'text', 'h\u00e9llo w\u00f6rld \u{1F600} "quoted" \\back'),
    registry.setString(path, 'empty', ''),
    registry.setString(path, 'line breaks', 'a\nb\r\tc'),
    registry.setUInt32(path, 'max', 4294967295),
    registry.setBinaryValue(path, 'binary', 'abc'),
    registry.setString(path, 'doomed', 'x'),
    registry.deleteKey(path, 'doomed'),
    registry.setString(`${path}\\Sub Key \u00c9`, 'nested', 'yes'),
  ];
  if (!ok.every(Boolean)) throw new Error(`a write was refused: ${JSON.stringify(ok)}`);
}

function read(side) {
  const path = key(side);
  return {
    list: registry.getKeyValues(path),
    text: registry.getString(path, 'TEXT', '<absent>'),
    max: registry.getUInt32(path, 'max', 0),
    binary: registry.getUInt32(path, 'binary', 0),
    doomed: registry.getString(path, 'doomed', '<absent>'),
    nested: registry.getString(`${path}\\sub key \u00e9`, 'nested', '<absent>'),
  };
}

const expected = {
  list: [
    ['', 'binary', 'empty', 'line breaks', 'max', 'text'],
    ['unnamed', 'abc', '', 'a\nb\r\tc', '\ufffd\ufffd\ufffd\ufffd', 'h\u00e9llo w\u00f6rld \u{1F600} "quoted" \\back'],
  ],
  text: 'h\u00e9llo w\u00f6rld \u{1F600} "quoted" \\back',
  max: 4294967295,
  binary: 0x636261,
  doomed: '<absent>',
  nested: 'yes',
};

module.exports = { write, read, expected };
