'use strict';

// Builds and runs the soaks of the Linux layer's writes: the crash soak (--trials N, 50 by
// default) and the concurrency soak (4 writers x 1,000 values, 2 readers). --seed S is passed
// to both, to replay a run. Exits non-zero when a soak fails.
//
//   node test/soak/run.js --trials 50     (CI)
//   node test/soak/run.js --trials 1000   (full run)
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');

const root = path.join(__dirname, '..', '..');
const buildDir = path.join(root, 'build', 'tests');

function flags(argv) {
  const known = { '--trials': '50' };
  for (let i = 0; i < argv.length; i += 2) {
    if (!['--trials', '--seed'].includes(argv[i]) || !/^\d+$/.test(argv[i + 1] ?? '')) {
      throw new Error(`usage: run.js [--trials N] [--seed S]; got ${argv.slice(i).join(' ')}`);
    }
    known[argv[i]] = argv[i + 1];
  }
  return known;
}

function run(title, command, args) {
  console.log(`\n== ${title}`);
  const started = Date.now();
  const result = spawnSync(command, args, { cwd: root, stdio: 'inherit' });
  if (result.status !== 0) {
    console.log(`== ${title}: FAILED`);
    process.exit(1);
  }
  console.log(`== ${title}: ${((Date.now() - started) / 1000).toFixed(1)} s`);
}

function main() {
  if (process.platform === 'win32') throw new Error('the soaks exercise the Linux layer only');
  const options = flags(process.argv.slice(2));
  const seed = options['--seed'] ? ['--seed', options['--seed']] : [];
  if (!fs.existsSync(path.join(buildDir, 'CMakeCache.txt'))) {
    run('configure', 'cmake', ['-S', root, '-B', buildDir, '-DREGISTRY_ADDON_TESTS=ON']);
  }
  run('build', 'cmake', ['--build', buildDir, '--parallel', '2', '--target', 'crash_soak', 'concurrency_soak']);
  const programs = path.join(buildDir, 'test', 'soak');
  run('crash soak', path.join(programs, 'crash_soak'), ['--trials', options['--trials'], ...seed]);
  run('concurrency soak', path.join(programs, 'concurrency_soak'), seed);
}

try {
  main();
} catch (error) {
  console.error(`soak FAILED: ${error.message}`);
  process.exit(1);
}
