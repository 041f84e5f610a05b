'use strict';

const path = require('node:path');

// The prebuilt binary for this platform when the package ships one, else the one built here.
const prebuilt = path.join(__dirname, 'prebuilds', `${process.platform}-${process.arch}`);
const built = path.join(__dirname, 'build', 'Release');

function load() {
  try {
    return require(path.join(prebuilt, 'registry.node'));
  } catch (error) {
    if (error.code !== 'MODULE_NOT_FOUND') throw error;
  }
  return require(path.join(built, 'registry.node'));
}

module.exports = load();
