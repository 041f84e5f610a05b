'use strict';

// Linux builds of the addon made for checking memory use: one instrumented with AddressSanitizer
// and UndefinedBehaviorSanitizer, one plain with debug information for valgrind. The JavaScript
// suite reaches such a build through test/sanitizers/use-build.js, preloaded in every process.
const { spawnSync } = require('node:child_process');
const path = require('node:path');
const { freshFixturePrefix } = require('../test/fixtures/registry-fixture');

const root = path.join(__dirname, '..');
const cmakeJs = require.resolve('cmake-js/bin/cmake-js');
const sanitizers = '-fsanitize=address,undefined';

const builds = {
  sanitized: {
    compile: `-O1 -g -fno-omit-frame-pointer ${sanitizers} -fno-sanitize-recover=undefined`,
    link: sanitizers,
  },
  valgrind: { compile: '-O1 -g', link: '' },
};

// Builds `name` into build/<name>; returns the folder holding its registry.node, or null.
function buildInstrumented(name) {
  const { compile, link } = builds[name];
  const out = path.join('build', name);
  const result = spawnSync(
    process.execPath,
    [cmakeJs, 'compile', '-O', out, `--CDCMAKE_CXX_FLAGS_RELEASE=${compile}`, `--CDCMAKE_SHARED_LINKER_FLAGS=${link}`],
    { cwd: root, stdio: 'inherit' },
  );
  return result.status === 0 ? path.join(root, out, 'Release') : null;
}

// The sanitizer runtimes of the compiler, which must be loaded before anything else, since node
// itself is not instrumented.
function sanitizerRuntimes() {
  return ['libasan.so', 'libubsan.so']
    .map((lib) => spawnSync('g++', [`-print-file-name=${lib}`], { encoding: 'utf8' }).stdout.trim())
    .join(':');
}

// The environment that makes node, its workers and its children use the build in `buildDir`
// over a fresh prefix holding the fixture.
function suiteEnvironment(buildDir, prefixName) {
  return {
    ...process.env,
    WINEPREFIX: freshFixturePrefix(path.join(root, 'build', prefixName)),
    REGISTRY_TEST_BUILD: buildDir,
    NODE_OPTIONS: `--require ${path.join(root, 'test', 'sanitizers', 'use-build.js')}`,
  };
}

// Node is not instrumented: what it keeps until exit would be reported as leaks, so leak
// detection is off here; valgrind-suite.js looks for leaks that come from the module.
function sanitizedEnvironment(buildDir) {
  return {
    ...suiteEnvironment(buildDir, 'sanitized-prefix'),
    LD_PRELOAD: sanitizerRuntimes(),
    ASAN_OPTIONS: 'detect_leaks=0:abort_on_error=1',
    UBSAN_OPTIONS: 'print_stacktrace=1:halt_on_error=1',
  };
}

module.exports = { buildInstrumented, suiteEnvironment, sanitizedEnvironment };
