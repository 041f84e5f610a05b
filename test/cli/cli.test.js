'use strict';

// The command-line tool run as a child process on a scratch copy of the example prefix.
const test = require('node:test');
const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const { root, runCli } = require('./run-cli');
const { hasCommand } = require('../../scripts/wine-node');

const prefix = path.join(root, 'build', 'cli-prefix');
const hive = path.join(prefix, 'user.reg');
const key = 'HKEY_CURRENT_USER\\Software\\Example';
const window = `${key}\\Window`;

test.beforeEach(() => {
  fs.rmSync(prefix, { recursive: true, force: true });
  fs.mkdirSync(prefix, { recursive: true });
  fs.copyFileSync(path.join(root, 'examples', 'prefix', 'user.reg'), hive);
});

const cli = (...args) => runCli(prefix, args);
const snapshot = () =>
  fs.readdirSync(prefix).map((file) => [file, fs.readFileSync(path.join(prefix, file))]);

// A failure is reported in one line on stderr, and nothing on stdout.
function assertFailure(result, status, args) {
  assert.equal(result.status, status, `${args.join(' ')}: ${result.stderr}`);
  assert.equal(result.stdout, '', args.join(' '));
  assert.match(result.stderr, /^registry-addon: [^\n]+\n$/, args.join(' '));
}

test('reads print the value and exit 0', () => {
  for (const [args, stdout] of [
    [['get', key, 'Greeting'], 'Hello from the example prefix\n'],
    [['get', key, ''], 'Example settings\n'],
    [['get', key, 'Caf\u00e9'], 'cr\u00e8me br\u00fbl\u00e9e\n'],
    // Without a prefix, get searches HKEY_CURRENT_USER first; key names ignore case.
    [['get', 'software\\EXAMPLE', 'Theme'], 'dark\n'],
    [['get-number', key, 'Retries'], '3\n'],
    [['get-number', key, 'Flags'], '4294967295\n'],
    [['get-number', key, 'Magic'], '42\n'],
    [['key-name', 'Height'], 'Height_h3054065626\n'],
    [['get-setting', window, 'Width'], '1024\n'],
    [['get-setting', window, 'Title'], 'Example window\n'],
    [['list', window], 'Height_h3054065626  768\nWidth_h226981187    1024\nTitle_h227868805    "Example window"\n'],
    [['list', `${key}\\Missing`], ''],
  ]) {
    assert.deepEqual(cli(...args), { status: 0, stdout, stderr: '' }, args.join(' '));
  }
});

test('an absent value, or one of another type, exits 1', () => {
  for (const args of [
    ['get', key, 'Missing'],
    ['get', `${key}\\Missing`, 'Greeting'],
    ['get', key, 'Retries'],
    ['get-number', key, 'Greeting'],
    ['get-number', key, 'Signature'],
    ['get-setting', window, 'Depth'],
  ]) {
    assertFailure(cli(...args), 1, args);
  }
});

test('--json prints one object, also for an absent value', () => {
  const cases = [
    [['get', key, 'Theme'], 0, { path: key, name: 'Theme', value: 'dark' }],
    [['get', key, 'Missing'], 1, { path: key, name: 'Missing', value: null }],
    [['get-number', key, 'Retries'], 0, { path: key, name: 'Retries', value: 3 }],
    [['get-setting', window, 'Height'], 0, { path: window, name: 'Height_h3054065626', value: 768 }],
    [['key-name', 'Width'], 0, { setting: 'Width', name: 'Width_h226981187' }],
    [['list', window], 0, {
      path: window,
      values: [
        { name: 'Height_h3054065626', value: 768 },
        { name: 'Width_h226981187', value: 1024 },
        { name: 'Title_h227868805', value: 'Example window' },
      ],
    }],
    [['set', key, 'Theme', 'light'], 0, { path: key, name: 'Theme', written: true }],
    [['delete', key, 'Theme'], 0, { path: key, name: 'Theme', deleted: true }],
  ];
  for (const [args, status, json] of cases) {
    const result = cli(...args, '--json');
    assert.equal(result.status, status, args.join(' '));
    assert.deepEqual(JSON.parse(result.stdout), json, args.join(' '));
  }
});

test('writes read back with the type they were given', () => {
  const cases = [
    [['set', key, 'Theme', 'light'], ['get', key, 'Theme'], 'light'],
    // Stored values equal to either default the readers are given still count as found.
    [['set', key, 'Empty', ''], ['get', key, 'Empty'], ''],
    [['set', key, 'Dash', '-'], ['get', key, 'Dash'], '-'],
    [['set', key, 'Zero', '0', '--type', 'number'], ['get-number', key, 'Zero'], '0'],
    [['set', key, 'One', '1', '--type', 'number'], ['get-number', key, 'One'], '1'],
    [['set', key, 'Hex', '0xFFFFFFFF', '--type', 'number'], ['get-number', key, 'Hex'], '4294967295'],
    // Three UTF-8 bytes and the terminating zero make a 4-byte REG_BINARY, which reads as a number.
    [['set', key, 'Bin', 'abc', '--type', 'binary'], ['get-number', key, 'Bin'], String(0x636261)],
    // Missing keys are made; the prefix is matched in any letter case.
    [['set', 'hkey_current_user\\Software\\New\\Deep', 'n', 'made'], ['get', 'HKEY_CURRENT_USER\\Software\\New\\Deep', 'n'], 'made'],
    [['set-setting', window, 'Height', '900', '--type', 'number'], ['get-setting', window, 'Height'], '900'],
    [['set-setting', window, 'Language', 'en'], ['get', window, 'Language_h3872303031'], 'en'],
  ];
  for (const [write, read, expected] of cases) {
    assert.deepEqual(cli(...write), { status: 0, stdout: '', stderr: '' }, write.join(' '));
    assert.deepEqual(cli(...read), { status: 0, stdout: `${expected}\n`, stderr: '' }, read.join(' '));
  }
});

test('delete removes the value and is done also when it was not there', () => {
  for (const name of ['Theme', 'Theme', 'Never there']) {
    assert.deepEqual(cli('delete', key, name), { status: 0, stdout: '', stderr: '' });
  }
  assertFailure(cli('get', key, 'Theme'), 1, ['get', key, 'Theme']);
  assert.equal(cli('get', key, 'Greeting').stdout, 'Hello from the example prefix\n');
});

test('usage errors exit 2 with one line and change nothing', () => {
  const before = snapshot();
  for (const args of [
    [],
    ['frob'],
    ['get', key],
    ['get', key, 'Greeting', 'extra'],
    ['get', key, 'Greeting', '--frob'],
    ['get', key, 'Greeting', '--type', 'string'],
    ['set', 'Software\\Example', 'Theme', 'light'],
    ['set', 'HKEY_CURRENT_USER', 'Theme', 'light'],
    ['delete', 'Software\\Example', 'Theme'],
    ['set-setting', 'Software\\Example\\Window', 'Height', '1', '--type', 'number'],
    ['set', key, 'Retries', 'many', '--type', 'number'],
    ['set', key, 'Retries', '4294967296', '--type', 'number'],
    ['set', key, 'Retries', '1.5', '--type', 'number'],
    ['set', key, 'Retries', '-1', '--type', 'number'],
    ['set', key, 'Retries', '--type', 'number', '--', '-1'],
    ['set', key, 'Retries', '1', '--type', 'dword'],
  ]) {
    assertFailure(cli(...args), 2, args);
  }
  assert.deepEqual(snapshot(), before);
});

test('--help prints the usage and exits 0', () => {
  for (const flag of ['--help', '-h']) {
    const { status, stdout, stderr } = cli(flag);
    assert.equal(status, 0);
    assert.match(stdout, /^Usage: registry-addon COMMAND/);
    assert.equal(stderr, '');
  }
});

const skipWineserver = !hasCommand('wineserver') && 'wineserver not installed';

test('writes are refused while a wineserver runs for the prefix', { skip: skipWineserver }, () => {
  const wineserver = (flag) =>
    spawnSync('wineserver', [flag], {
      // The server stays in the background: it must not hold on to pipes of ours.
      stdio: 'ignore',
      env: { ...process.env, WINEPREFIX: prefix, WINEDEBUG: '-all' },
    });
  assert.equal(wineserver('-p').status, 0);
  try {
    const before = fs.readFileSync(hive);
    for (const args of [
      ['set', key, 'Theme', 'light'],
      ['set-setting', window, 'Height', '1', '--type', 'number'],
      ['delete', key, 'Theme'],
    ]) {
      const result = cli(...args);
      assertFailure(result, 1, args);
      assert.match(result.stderr, /wineserver/);
    }
    assert.deepEqual(fs.readFileSync(hive), before);
    assert.equal(cli('get', key, 'Theme').stdout, 'dark\n', 'reads still work');
  } finally {
    wineserver('-k');
    wineserver('-w');
  }
});
