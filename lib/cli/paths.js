'use strict';

// The root prefixes that the module recognises, compared without regard to the case of ASCII
// letters only, as the module compares them.
const rootPrefixes = ['HKEY_CURRENT_USER\\', 'HKEY_LOCAL_MACHINE\\', 'HKEY_CLASSES_ROOT\\'];

const asciiLower = (text) => text.replace(/[A-Z]/g, (letter) => letter.toLowerCase());

function hasRootPrefix(path) {
  const start = asciiLower(path);
  return rootPrefixes.some((prefix) => start.startsWith(asciiLower(prefix)));
}

// getKeyValues lists a path without a prefix under HKEY_CURRENT_USER only; reading each listed
// value through the same root keeps the readers from finding another root's value instead.
function listedRoot(path) {
  return hasRootPrefix(path) ? path : `HKEY_CURRENT_USER\\${path}`;
}

module.exports = { hasRootPrefix, listedRoot };
