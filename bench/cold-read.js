'use strict';

// One fresh process's first getString on Linux: the time of that call alone, which parses the
// prefix's system.reg. Prints one JSON line.
const registry = require('..');

const path = 'HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion';
const start = process.hrtime.bigint();
const value = registry.getString(path, 'ProductName', '');
const ns = Number(process.hrtime.bigint() - start);
console.log(JSON.stringify({ ns, value }));
