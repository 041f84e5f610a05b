'use strict';

// `node bench/linux-layer.js`: the Linux registry layer's own costs on a Wine-made prefix
// (build/bench-prefix, made with wineboot on first use): cold load of system.reg (first
// open + query + close in a fresh process), a cached open + query + close, one write with its
// fsyncs, each next to a plain read() of system.reg measured in the same run.
const { execFileSync, spawnSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');

const root = path.join(__dirname, '..');
const buildDir = path.join(root, 'build', 'bench-layer');
const prefix = path.join(root, 'build', 'bench-prefix');
const processes = 9;

if (!fs.existsSync(path.join(prefix, 'system.reg'))) {
  const env = { ...process.env, WINEPREFIX: prefix, WINEDEBUG: '-all' };
  execFileSync('sh', ['-c', 'wineboot -i && wineserver -w'], { env, stdio: 'ignore' });
}
execFileSync('cmake', ['-S', root, '-B', buildDir, '-DREGISTRY_ADDON_TESTS=ON', '-DCMAKE_BUILD_TYPE=Release'], { stdio: 'ignore' });
execFileSync('cmake', ['--build', buildDir, '--target', 'hive_bench'], { stdio: 'inherit' });

const runs = [];
for (let i = 0; i < processes; i++) {
  const result = spawnSync(path.join(buildDir, 'hive_bench'), {
    env: { ...process.env, WINEPREFIX: prefix },
    encoding: 'utf8',
  });
  if (result.status !== 0) throw new Error(result.stderr);
  runs.push(JSON.parse(result.stdout));
}
const median = (key) => runs.map((r) => r[key]).sort((a, b) => a - b)[Math.floor(runs.length / 2)];
const size = fs.statSync(path.join(prefix, 'system.reg')).size;
const ms = (ns) => `${(ns / 1e6).toFixed(2)} ms`;
const us = (ns) => `${(ns / 1e3).toFixed(2)} µs`;
const plain = median('readNs');
console.log(`system.reg: ${(size / 1e6).toFixed(2)} MB; medians of ${processes} processes`);
console.log('| operation | time | goal | plain read() of system.reg |');
console.log('| --- | --- | --- | --- |');
console.log(`| cold load (first open + query + close) | ${ms(median('coldNs'))} | ≤ 10 ms | ${us(plain)} |`);
console.log(`| cached open + query + close | ${us(median('cachedNs'))} | ≤ 2 µs | ${us(plain)} |`);
console.log(`| one write, fsyncs included | ${ms(median('writeNs'))} | ≤ 15 ms | ${us(plain)} |`);
