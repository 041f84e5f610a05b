'use strict';

const registry = require('../..');
const { UsageError } = require('./usage-error');

// The module's readers answer a missing value with the caller's default, and any stored value
// could equal one default. Two reads with two different defaults tell absence reliably: a
// stored value comes back the same both times, while a missing one comes back as each default.
// (Listing the key's names instead would miss what the readers find: values under the other
// roots that a path without a prefix reaches, and names longer than a listing takes.)
function readString(path, name) {
  const first = registry.getString(path, name, '');
  return first === registry.getString(path, name, '-') ? first : undefined;
}

function readNumber(path, name) {
  const first = registry.getUInt32(path, name, 0);
  return first === registry.getUInt32(path, name, 1) ? first : undefined;
}

// A value as a number when it reads as one (REG_DWORD, or REG_BINARY of 4 bytes), else as text.
function readAny(path, name) {
  return readNumber(path, name) ?? readString(path, name);
}

// Decimal or 0x-prefixed hexadecimal, 0 to 4294967295.
function parseNumber(text) {
  const number = /^(\d+|0x[0-9a-f]+)$/i.test(text) ? Number(text) : NaN;
  if (!(number <= 0xffffffff)) {
    throw new UsageError(`not a number from 0 to 4294967295: ${JSON.stringify(text)}`);
  }
  return number;
}

const writers = {
  string: (path, name, text) => registry.setString(path, name, text),
  number: (path, name, text) => registry.setUInt32(path, name, parseNumber(text)),
  binary: (path, name, text) => registry.setBinaryValue(path, name, text),
};

// Writes `text` as the given type; false when the registry refused the write.
function write(path, name, text, type = 'string') {
  const writer = writers[type];
  if (writer === undefined) {
    throw new UsageError(`--type must be string, number or binary, not ${JSON.stringify(type)}`);
  }
  return writer(path, name, text);
}

module.exports = { readString, readNumber, readAny, write };
