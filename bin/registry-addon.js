#!/usr/bin/env node
'use strict';

const { main } = require('../lib/cli/main');

process.exitCode = main(process.argv.slice(2), process);
