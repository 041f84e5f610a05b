'use strict';

// A command line that cannot be carried out as written: reported in one line, exit status 2.
class UsageError extends Error {}

module.exports = { UsageError };
