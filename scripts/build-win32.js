'use strict';

// Cross-builds the Windows x64 module with mingw-w64 into prebuilds/win32-x64/registry.node.
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');

const root = path.join(__dirname, '..');
const buildDir = path.join(root, 'build', 'win32');
const target = path.join(root, 'prebuilds', 'win32-x64');

function run(args) {
  execFileSync('cmake', args, { cwd: root, stdio: 'inherit' });
}

run([
  '-S', root, '-B', buildDir,
  `-DCMAKE_TOOLCHAIN_FILE=${path.join(root, 'cmake', 'mingw-w64-x86_64.cmake')}`,
  '-DCMAKE_BUILD_TYPE=Release',
]);
run(['--build', buildDir, '--parallel', '2']);
fs.mkdirSync(target, { recursive: true });
fs.copyFileSync(path.join(buildDir, 'registry.node'), path.join(target, 'registry.node'));
console.log(`wrote ${path.relative(root, path.join(target, 'registry.node'))}`);
