'use strict';

// Builds the libFuzzer targets with clang into build/fuzz, runs each target's regression
// inputs, then fuzzes each target for a while on a scratch copy of its seed corpus.
//
//   node test/fuzz/run.js --seconds 20 [target...]   fuzz each target for 20 seconds
//   node test/fuzz/run.js --runs 100000 [target...]  or for a number of executions
//
// Exits non-zero on a build failure or when an input crashes, naming the reproducer.

const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const { writeHiveSeeds } = require('./hive-seeds');

const root = path.join(__dirname, '..', '..');
const here = __dirname;
const buildDir = path.join(root, 'build', 'fuzz');
const targets = ['hive', 'text', 'paths'];

function parseArguments(argv) {
  const options = { limit: '-max_total_time=20', targets: [] };
  for (let i = 0; i < argv.length; i++) {
    const arg = argv[i];
    if (arg === '--seconds' || arg === '--runs') {
      const count = Number(argv[++i]);
      if (!Number.isInteger(count) || count <= 0) throw new Error(`${arg} needs a positive count`);
      options.limit = arg === '--seconds' ? `-max_total_time=${count}` : `-runs=${count}`;
    } else if (targets.includes(arg)) {
      options.targets.push(arg);
    } else {
      throw new Error(`unknown argument ${arg}; targets: ${targets.join(', ')}`);
    }
  }
  if (options.targets.length === 0) options.targets = targets;
  return options;
}

function run(command, args) {
  const result = spawnSync(command, args, { cwd: root, stdio: 'inherit' });
  if (result.error) throw result.error;
  return result.status;
}

function build() {
  const configure = [
    '-S', root, '-B', buildDir,
    '-DREGISTRY_ADDON_FUZZ=ON', '-DCMAKE_CXX_COMPILER=clang++',
  ];
  if (run('cmake', configure) !== 0 || run('cmake', ['--build', buildDir, '-j2']) !== 0) {
    throw new Error('building the fuzz targets failed');
  }
}

function filesIn(directory) {
  if (!fs.existsSync(directory)) return [];
  return fs.readdirSync(directory).sort().map((name) => path.join(directory, name));
}

// Each regression input on its own, so a failure names its file.
function runRegressions(binary, target) {
  const failed = [];
  for (const file of filesIn(path.join(here, 'regressions', target))) {
    if (run(binary, ['-runs=1', file]) !== 0) failed.push(file);
  }
  return failed;
}

function scratchCorpus(target) {
  const corpus = path.join(buildDir, 'corpus', target);
  fs.mkdirSync(corpus, { recursive: true });
  for (const file of filesIn(path.join(here, 'corpus', target))) {
    fs.copyFileSync(file, path.join(corpus, path.basename(file)));
  }
  if (target === 'hive') writeHiveSeeds(corpus);
  return corpus;
}

function fuzz(binary, target, limit) {
  const artifacts = path.join(buildDir, 'artifacts', target);
  fs.rmSync(artifacts, { recursive: true, force: true });
  fs.mkdirSync(artifacts, { recursive: true });
  const args = [
    limit,
    '-timeout=10',
    '-print_final_stats=1',
    `-artifact_prefix=${artifacts}${path.sep}`,
  ];
  if (target === 'hive') args.push(`-dict=${path.join(here, 'hive.dict')}`);
  args.push(scratchCorpus(target));
  if (run(binary, args) === 0) return [];
  const found = filesIn(artifacts);
  return found.length > 0 ? found : [`(no reproducer written by ${target}; see its output)`];
}

function main() {
  const options = parseArguments(process.argv.slice(2));
  build();
  const failures = [];
  for (const target of options.targets) {
    const binary = path.join(buildDir, 'test', 'fuzz', `${target}_fuzzer`);
    console.log(`\n== ${target}: regression inputs`);
    const failed = runRegressions(binary, target);
    console.log(`\n== ${target}: fuzzing (${options.limit})`);
    failed.push(...fuzz(binary, target, options.limit));
    for (const file of failed) failures.push(`${target}: ${file}`);
  }
  if (failures.length > 0) {
    console.error(`\nInputs that fail (reproduce with build/fuzz/test/fuzz/<target>_fuzzer FILE):`);
    for (const failure of failures) console.error(`  ${failure}`);
    process.exit(1);
  }
  console.log('\nNo input failed.');
}

main();
