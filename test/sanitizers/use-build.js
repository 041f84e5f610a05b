'use strict';

// Preloaded with --require: the package's entry point serves the registry.node in the folder
// named by REGISTRY_TEST_BUILD (an instrumented build) instead of the one it would find, in this
// process, its workers and its child processes.
const path = require('node:path');
const Module = require('node:module');

const entry = require.resolve(path.join(__dirname, '..', '..'));
const entryModule = new Module(entry, module);
entryModule.filename = entry;
entryModule.loaded = true;
entryModule.exports = require(path.resolve(process.env.REGISTRY_TEST_BUILD, 'registry.node'));
require.cache[entry] = entryModule;
