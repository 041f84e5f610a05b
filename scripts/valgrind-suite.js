'use strict';

// Runs each file of the JavaScript suite in node under valgrind's memcheck, with the module built
// with debug information, and fails on any invalid access or use of uninitialised memory in the
// module's code and on any block it leaks. Node keeps the record of a module's registration and
// of its functions until exit: those blocks, made once per environment, are not counted.
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const { buildInstrumented, suiteEnvironment } = require('./instrumented-builds');

const root = path.join(__dirname, '..');
const logs = path.join(root, 'build', 'valgrind-logs');
// Frames in code compiled into the module, as printed with --fullpath-after.
const moduleFrame = /\((src\/|node_modules\/node-addon-api\/)/;
const registration = /\b(registerFunction|registerRegistryModule)\b/;

// The error and leak records of one log: each a header line and its stack.
function records(log) {
  return log
    .split(/^==\d+== $/m)
    .map((text) => text.replace(/^==\d+== /gm, '').trim())
    .filter((text) => /^(Invalid|Conditional|Use of|Syscall|Mismatched|Source and|.* lost in loss)/.test(text));
}

function moduleFaults(log) {
  return records(log).filter((record) => {
    if (!moduleFrame.test(record)) return false;
    if (/ lost in loss/.test(record)) return /(definitely|indirectly) lost/.test(record) && !registration.test(record);
    return true;
  });
}

function main() {
  const buildDir = buildInstrumented('valgrind');
  if (!buildDir) process.exit(1);
  fs.rmSync(logs, { recursive: true, force: true });
  fs.mkdirSync(logs, { recursive: true });
  const env = suiteEnvironment(buildDir, 'valgrind-prefix');
  const files = fs.readdirSync(path.join(root, 'test', 'js')).filter((f) => f.endsWith('.test.js'));
  let failed = false;
  for (const file of files.sort()) {
    const started = Date.now();
    const result = spawnSync(
      'valgrind',
      [
        '--leak-check=full',
        `--fullpath-after=${root}/`,
        `--log-file=${path.join(logs, `${file}.%p.log`)}`,
        process.execPath,
        path.join('test', 'js', file),
      ],
      { cwd: root, env, encoding: 'utf8' },
    );
    const faults = fs
      .readdirSync(logs)
      .filter((log) => log.startsWith(`${file}.`))
      .flatMap((log) => moduleFaults(fs.readFileSync(path.join(logs, log), 'utf8')));
    const seconds = ((Date.now() - started) / 1000).toFixed(1);
    const ok = result.status === 0 && faults.length === 0;
    console.log(`${ok ? 'ok' : 'FAILED'}  ${file}  (${seconds} s, exit ${result.status})`);
    if (result.status !== 0) process.stdout.write(result.stdout.slice(-4000));
    for (const fault of faults) console.log(`${fault}\n`);
    if (!ok) failed = true;
  }
  console.log(failed ? 'valgrind found faults; logs in build/valgrind-logs' : 'valgrind: no fault in the module');
  process.exit(failed ? 1 : 0);
}

main();
