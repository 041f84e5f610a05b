'use strict';

// `node run.js write SIDE` writes the interop values under SIDE's key; `node run.js read SIDE`
// reads them back and exits 1 when they differ from what was written.
const assert = require('node:assert/strict');
const { write, read, expected } = require('./values');

const [action, side] = process.argv.slice(2);
if (action === 'write') {
  write(side);
} else {
  const actual = read(side);
  try {
    assert.deepEqual(actual, expected);
    console.log(`${process.platform} read what was written by the ${side} build`);
  } catch (error) {
    console.log(error.message);
    process.exit(1);
  }
}
