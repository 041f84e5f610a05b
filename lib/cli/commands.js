'use strict';

// The commands: their arguments and what each does. A command returns its exit status (0 done,
// 1 value absent or write refused), the JSON answer for --json, and the line for stdout when it
// prints one (reads) or for stderr when it failed.
const registry = require('../..');
const { hasRootPrefix, listedRoot } = require('./paths');
const { readString, readNumber, readAny, write } = require('./values');
const { UsageError } = require('./usage-error');

// Text for one value in a listing: numbers as they are, text quoted so that NULs and line
// breaks stay visible.
const shown = (value) => (typeof value === 'number' ? String(value) : JSON.stringify(value));

function found(path, name, value, text) {
  if (value === undefined) {
    return { status: 1, json: { path, name, value: null }, error: `no ${name ? `value "${name}"` : 'default value'} under ${path}` };
  }
  return { status: 0, json: { path, name, value }, text };
}

function writable(path) {
  if (!hasRootPrefix(path)) {
    throw new UsageError(
      `a path to change must begin with HKEY_CURRENT_USER\\, HKEY_LOCAL_MACHINE\\ or HKEY_CLASSES_ROOT\\: ${path}`,
    );
  }
  return path;
}

const refusedHint =
  process.platform === 'win32' ? '' : ' (writes are refused while a wineserver runs for the prefix)';

function written(path, name, ok) {
  const json = { path, name, written: ok };
  return ok
    ? { status: 0, json }
    : { status: 1, json, error: `the registry refused the write of "${name}" under ${path}${refusedHint}` };
}

const commands = {
  get: {
    args: ['PATH', 'NAME'],
    run([path, name]) {
      const value = readString(path, name);
      return found(path, name, value, value);
    },
  },
  'get-number': {
    args: ['PATH', 'NAME'],
    run([path, name]) {
      const value = readNumber(path, name);
      return found(path, name, value, String(value));
    },
  },
  list: {
    args: ['PATH'],
    run([path]) {
      const [names, data] = registry.getKeyValues(path);
      const root = listedRoot(path);
      // Data that reads neither as a number nor as text (other types, long values) is shown
      // as the listing gives it.
      const values = names.map((name, i) => ({ name, value: readAny(root, name) ?? data[i] }));
      const labels = values.map(({ name }) => (name === '' ? '(default)' : name));
      const width = Math.max(0, ...labels.map((label) => label.length));
      const lines = values.map(({ value }, i) => `${labels[i].padEnd(width)}  ${shown(value)}`);
      // An empty listing prints nothing, not an empty line.
      const text = lines.length > 0 ? lines.join('\n') : undefined;
      return { status: 0, json: { path, values }, text };
    },
  },
  set: {
    args: ['PATH', 'NAME', 'VALUE'],
    typed: true,
    run([path, name, value], type) {
      return written(path, name, write(writable(path), name, value, type));
    },
  },
  delete: {
    args: ['PATH', 'NAME'],
    run([path, name]) {
      // deleteKey answers true when the value is gone afterwards, also when it was never there.
      const ok = registry.deleteKey(writable(path), name);
      const json = { path, name, deleted: ok };
      return ok
        ? { status: 0, json }
        : { status: 1, json, error: `could not delete "${name}" under ${path}${refusedHint}` };
    },
  },
  'key-name': {
    args: ['SETTING'],
    run([setting]) {
      const name = registry.getRegistryKeyName(setting);
      return { status: 0, json: { setting, name }, text: name };
    },
  },
  'get-setting': {
    args: ['PATH', 'SETTING'],
    run([path, setting]) {
      const name = registry.getRegistryKeyName(setting);
      const value = readAny(path, name);
      return found(path, name, value, String(value));
    },
  },
  'set-setting': {
    args: ['PATH', 'SETTING', 'VALUE'],
    typed: true,
    run([path, setting, value], type) {
      const name = registry.getRegistryKeyName(setting);
      return written(path, name, write(writable(path), name, value, type));
    },
  },
};

module.exports = { commands };
