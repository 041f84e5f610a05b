'use strict';

// Runs every suite: the native tests, the JavaScript suite against the Linux build, and the
// same suite against the Windows build in a Windows Node.js under Wine. Without Wine or
// mingw-w64 the Windows suite is skipped with a reason, and so are the fuzz targets without
// clang, except under CI=true, where that fails.
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const { hasCommand, windowsNode, stopWineserver, cacheDir } = require('./wine-node');
const { prepareWinePrefix, runWindowsStep, runWindowsSuite } = require('./windows-suite');
const { freshFixturePrefix } = require('../test/fixtures/registry-fixture');
const { buildInstrumented, sanitizedEnvironment } = require('./instrumented-builds');

const root = path.join(__dirname, '..');
const windowsNodeVersion = '20.20.2';
// Calls per function in the memory check: enough to see growth, few enough for every run.
const memoryCheckCalls = ['--calls', '20000', '--write-calls', '2000'];
let failed = false;

function step(title, command, args, options = {}) {
  console.log(`\n== ${title}`);
  const result = spawnSync(command, args, { cwd: root, stdio: 'inherit', ...options });
  if (result.status !== 0) {
    console.log(`== ${title}: failed`);
    failed = true;
  }
  return result.status === 0;
}

function nativeTests() {
  const dir = path.join(root, 'build', 'tests');
  return (
    step('native tests: configure', 'cmake', ['-S', root, '-B', dir, '-DREGISTRY_ADDON_TESTS=ON']) &&
    step('native tests: build', 'cmake', ['--build', dir, '--parallel', '2']) &&
    step('native tests', 'ctest', ['--output-on-failure'], { cwd: dir })
  );
}

// The Linux build works on the registry files of the prefix in WINEPREFIX: a scratch one here.
function linuxSuite() {
  const prefix = freshFixturePrefix(path.join(root, 'build', 'test-prefix-linux'));
  return step('JavaScript suite, Linux build', process.execPath, ['--test', 'test/js/'], {
    env: { ...process.env, WINEPREFIX: prefix },
  });
}

// The suite and the command-line tool's tests with the module built with AddressSanitizer and
// UndefinedBehaviorSanitizer.
function sanitizedSuite() {
  console.log('\n== Linux build with sanitizers');
  const buildDir = buildInstrumented('sanitized');
  if (!buildDir) {
    failed = true;
    return;
  }
  step('JavaScript suite and command-line tool, Linux build with sanitizers', process.execPath, ['--test', 'test/js/', 'test/cli/'], {
    env: sanitizedEnvironment(buildDir),
  });
}

// True when every command is installed; otherwise says which are not, and fails under CI.
function haveTools(what, commands) {
  const missing = commands.filter((c) => !hasCommand(c));
  if (missing.length === 0) return true;
  const reason = `${missing.join(', ')} not installed`;
  if (process.env.CI === 'true') {
    console.log(`\n== ${what} cannot run: ${reason}`);
    failed = true;
  } else {
    console.log(`\n== ${what} skipped: ${reason}`);
  }
  return false;
}

function windowsSuite() {
  if (!haveTools('Windows suite', ['wine', 'wineserver', 'x86_64-w64-mingw32-g++'])) return;
  if (!step('Windows build (mingw-w64)', process.execPath, ['scripts/build-win32.js'])) return;
  step('Windows file checks', process.execPath, ['--test', 'test/windows/']);

  const node = windowsNode(windowsNodeVersion);
  const renamed = path.join(cacheDir, 'host-app.exe');
  fs.copyFileSync(node, renamed);
  const prefix = path.join(root, 'build', 'wine-prefix');
  prepareWinePrefix(node, prefix);
  for (const [title, exe] of [
    [`JavaScript suite, Windows Node.js ${windowsNodeVersion} under Wine`, node],
    ['JavaScript suite, the same node.exe renamed host-app.exe', renamed],
  ]) {
    if (!runWindowsSuite(title, exe, prefix)) failed = true;
  }
  const memory = runWindowsStep(
    `memory check, Windows Node.js ${windowsNodeVersion} under Wine`,
    node,
    ['--expose-gc', 'test/memory/run.js', ...memoryCheckCalls],
    prefix,
  );
  if (!memory) failed = true;
  stopWineserver(prefix);
  interop(node, prefix);
}

// What one target writes into a prefix the other reads, both ways. The Linux build writes only
// while no wineserver runs for the prefix; Wine saves its writes when its server exits.
function interop(node, prefix) {
  const linux = (...args) =>
    step(`Linux build: interop ${args.join(' ')}`, process.execPath, ['test/interop/run.js', ...args], {
      env: { ...process.env, WINEPREFIX: prefix },
    });
  const windows = (...args) => {
    const ok = runWindowsStep(`Windows build: interop ${args.join(' ')}`, node, ['test/interop/run.js', ...args], prefix);
    if (!ok) failed = true;
    stopWineserver(prefix);
    return ok;
  };
  if (linux('write', 'linux')) windows('read', 'linux');
  if (windows('write', 'windows')) linux('read', 'windows');
}

// Short runs of the fuzz targets (their regression inputs first), of the write soaks and of
// the memory check.
function hardening() {
  if (haveTools('fuzz targets', ['clang++'])) {
    step('fuzz targets: regressions and a short run each', process.execPath, ['test/fuzz/run.js', '--seconds', '15']);
  }
  step('soaks: killed writers and concurrent writers', process.execPath, ['test/soak/run.js', '--trials', '50']);
  const prefix = path.join(root, 'build', 'memory-prefix');
  fs.rmSync(prefix, { recursive: true, force: true });
  step('memory check, Linux build', process.execPath, ['--expose-gc', 'test/memory/run.js', ...memoryCheckCalls], {
    env: { ...process.env, WINEPREFIX: prefix },
  });
}

// The command-line tool, the TypeScript declarations, and the package as npm publishes it.
function packageChecks() {
  step('command-line tool', process.execPath, ['--test', 'test/cli/']);
  const tsc = require.resolve('typescript/bin/tsc');
  step('TypeScript declarations', process.execPath, [tsc, '--noEmit', '--strict', 'test/types/usage.ts']);
  step('package: packed, installed, run on Linux and under Wine', process.execPath, ['--test', 'test/package/']);
}

nativeTests();
linuxSuite();
sanitizedSuite();
windowsSuite();
hardening();
packageChecks();
console.log(failed ? '\nSome suites failed.' : '\nAll suites passed.');
process.exit(failed ? 1 : 0);
