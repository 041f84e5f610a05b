'use strict';

// Builds the module from source unless the package ships a prebuilt one for this platform.
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');

const root = path.join(__dirname, '..');
const prebuilt = path.join(root, 'prebuilds', `${process.platform}-${process.arch}`, 'registry.node');

if (!fs.existsSync(prebuilt)) {
  const cmakeJs = require.resolve('cmake-js/bin/cmake-js');
  execFileSync(process.execPath, [cmakeJs, 'compile'], { cwd: root, stdio: 'inherit' });
}
