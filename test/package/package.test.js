'use strict';

// The package as published: `npm pack` (its prepack cross-builds the Windows module), installed
// from the tarball into an empty folder. On Linux the install builds from source; the same
// folder then runs in Windows Node.js under Wine on the shipped prebuild, with no build step.
const test = require('node:test');
const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { hasCommand, windowsNode, runWindows, stopWineserver } = require('../../scripts/wine-node');
const { version } = require('../../package.json');

const root = path.join(__dirname, '..', '..');
const packDir = path.join(root, 'build', 'package');
const windowsNodeVersion = '20.20.2';

// Without the tools a part cannot run; under CI=true that is a failure, else a skip.
function missing(...commands) {
  const absent = commands.filter((command) => !hasCommand(command));
  if (absent.length === 0) return false;
  const reason = `${absent.join(', ')} not installed`;
  if (process.env.CI === 'true') throw new Error(reason);
  return reason;
}

// npm run from `npm test` inherits npm's own settings; the installs here start clean.
const cleanEnv = Object.fromEntries(
  Object.entries(process.env).filter(([name]) => !name.toLowerCase().startsWith('npm_')),
);
const npm = (args, cwd) =>
  execFileSync('npm', args, { cwd, env: cleanEnv, encoding: 'utf8', stdio: ['ignore', 'pipe', 'inherit'] });

const skipPack = missing('cmake', 'x86_64-w64-mingw32-g++');
let installed; // the folder the tarball was installed into
let tarball;

test.before(() => {
  if (skipPack) return;
  fs.rmSync(packDir, { recursive: true, force: true });
  fs.mkdirSync(packDir, { recursive: true });
  npm(['pack', '--pack-destination', packDir], root);
  tarball = path.join(packDir, `registry-addon-${version}.tgz`);
  installed = fs.mkdtempSync(path.join(os.tmpdir(), 'registry-addon-install-'));
  npm(['install', tarball, '--prefer-offline', '--no-audit', '--no-fund'], installed);
  fs.copyFileSync(path.join(__dirname, 'smoke.js'), path.join(installed, 'smoke.js'));
});

test.after(() => {
  if (installed) fs.rmSync(installed, { recursive: true, force: true });
});

test('the tarball holds the sources and the Windows prebuild, and nothing of the tests', { skip: skipPack }, () => {
  const files = execFileSync('tar', ['tzf', tarball], { encoding: 'utf8' })
    .split('\n')
    .filter(Boolean)
    .map((file) => file.replace(/^package\//, ''));
  for (const file of [
    'package.json', 'README.md', 'index.js', 'index.d.ts', 'bin/registry-addon.js',
    'lib/cli/main.js', 'examples/prefix/user.reg', 'scripts/install.js', 'CMakeLists.txt',
    'cmake/mingw-w64-x86_64.cmake', 'src/platform/unix/sources.cmake',
    'src/napi-wrappers/module.cc', 'prebuilds/win32-x64/registry.node',
  ]) {
    assert.ok(files.includes(file), `${file} is packed`);
  }
  const unwanted = files.filter((file) => /^(test|build|bench|node_modules|\.cache|\.ci)\//.test(file));
  assert.deepEqual(unwanted, []);
});

test('on Linux the install builds from source and the module works', { skip: skipPack }, () => {
  const prefix = path.join(installed, 'wine-prefix');
  const output = execFileSync(process.execPath, ['smoke.js'], {
    cwd: installed,
    env: { ...process.env, WINEPREFIX: prefix },
    encoding: 'utf8',
  });
  const smoke = JSON.parse(output);
  assert.equal(smoke.loaded, path.join(installed, 'node_modules', 'registry-addon', 'build', 'Release', 'registry.node'));
  assertSmoke(smoke);
  const bin = path.join(installed, 'node_modules', '.bin', 'registry-addon');
  assert.equal(execFileSync(bin, ['key-name', 'Height'], { encoding: 'utf8' }), 'Height_h3054065626\n');
});

const skipWindows = skipPack || missing('wine', 'wineserver');

test('under Windows Node.js the prebuild is used and nothing is built', { skip: skipWindows }, () => {
  const modulePath = path.join(installed, 'node_modules', 'registry-addon');
  // The folder as a Windows machine would have it: no build output of the Linux install.
  fs.rmSync(path.join(modulePath, 'build'), { recursive: true, force: true });
  // npm runs no install script of the dependencies (they have none), and the package's own
  // finds the prebuild and builds nothing.
  for (const dependency of fs.readdirSync(path.join(installed, 'node_modules'))) {
    const manifest = path.join(installed, 'node_modules', dependency, 'package.json');
    if (dependency === 'registry-addon' || !fs.existsSync(manifest)) continue;
    const { scripts = {} } = JSON.parse(fs.readFileSync(manifest, 'utf8'));
    assert.deepEqual(['preinstall', 'install', 'postinstall'].filter((name) => scripts[name]), [], dependency);
  }
  const node = windowsNode(windowsNodeVersion);
  const prefix = path.join(root, 'build', 'package-wine-prefix');
  try {
    // A new prefix is set up on the first run, with messages of Wine's own.
    if (!fs.existsSync(path.join(prefix, 'system.reg'))) runWindows(node, ['-e', '0'], { prefix });
    const install = runWindows(node, ['scripts/install.js'], { prefix, cwd: modulePath });
    assert.deepEqual(install, { status: 0, output: '' });
    assert.equal(fs.existsSync(path.join(modulePath, 'build')), false, 'nothing was built');

    const run = runWindows(node, ['smoke.js'], { prefix, cwd: installed });
    assert.equal(run.status, 0, run.output);
    const smoke = JSON.parse(run.output);
    assert.match(smoke.loaded, /\\node_modules\\registry-addon\\prebuilds\\win32-x64\\registry\.node$/);
    assertSmoke(smoke);

    const cli = runWindows(node, ['node_modules/registry-addon/bin/registry-addon.js', 'key-name', 'Height'], {
      prefix,
      cwd: installed,
    });
    assert.deepEqual(cli, { status: 0, output: 'Height_h3054065626\n' });
  } finally {
    stopWineserver(prefix);
  }
});

function assertSmoke(smoke) {
  assert.deepEqual(
    { ...smoke, loaded: undefined },
    {
      loaded: undefined,
      keyName: 'Height_h3054065626',
      writes: [true, true],
      text: 'h\u00e9llo',
      number: 42,
      listed: ['n', 'text'],
      deleted: [true, true],
      after: [[], []],
    },
  );
}
