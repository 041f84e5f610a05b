// Types of registry-addon: eight synchronous functions over the Windows registry (on Linux, the
// registry files of the Wine prefix in WINEPREFIX, else ~/.wine).
//
// Paths begin with one of the root prefixes "HKEY_CURRENT_USER\\", "HKEY_LOCAL_MACHINE\\" or
// "HKEY_CLASSES_ROOT\\", in any ASCII letter case; a prefix alone names the root key itself.
// What a path without a prefix means depends on the function. A path or value name holding
// U+0000 makes no registry call. Registry failures never throw: they give the default, false
// or empty lists. Only an argument that is missing or of the wrong type throws a TypeError;
// nothing is coerced.

/**
 * Reads a string value: REG_SZ, REG_EXPAND_SZ (expanded with the process environment) or
 * REG_MULTI_SZ (its strings with the NUL after each, only the final NUL dropped). Data not
 * ending in NUL keeps its last character. Values of up to 4096 bytes (2047 characters and the
 * terminator) are read; a longer one counts as absent.
 *
 * Without a prefix, the path is tried under HKEY_CURRENT_USER, then HKEY_LOCAL_MACHINE, then
 * HKEY_CLASSES_ROOT; the first that holds the value wins.
 *
 * @param path Registry path of the key.
 * @param name Value name; "" is the key's default value.
 * @param defaultText Returned (up to its first U+0000) when the value is missing, too long or
 *   of another type, or the key cannot be opened.
 * @returns The value's text, or `defaultText`.
 * @throws {TypeError} When an argument is missing or not a string.
 * @example getString('HKEY_CURRENT_USER\\Software\\Example', 'Greeting', '')
 */
export function getString(path: string, name: string, defaultText: string): string;

/**
 * Lists the names and the data of all values of one key, in the registry's order. String
 * values give their text up to the first NUL (REG_EXPAND_SZ unexpanded, REG_MULTI_SZ its first
 * string); every other type gives its bytes up to the first zero byte, read as UTF-8 (a
 * REG_DWORD of 0x41 gives "A", of 0 gives ""). Names of up to 254 code units and data of up to
 * 8191 bytes are listed; a value with a longer name or data is left out.
 *
 * Without a prefix, the path is a key under HKEY_CURRENT_USER.
 *
 * @param path Registry path of the key.
 * @returns `[names, data]`, two arrays of the same length; `[[], []]` when the key is missing,
 *   holds no values or cannot be opened.
 * @throws {TypeError} When `path` is missing or not a string.
 * @example const [names, data] = getKeyValues('HKEY_CURRENT_USER\\Software\\Example');
 */
export function getKeyValues(path: string): [names: string[], data: string[]];

/**
 * Reads a number: a REG_DWORD, or a REG_BINARY of exactly 4 bytes, as an unsigned
 * little-endian 32-bit integer (0 to 4294967295).
 *
 * Without a prefix, the path is tried under HKEY_CURRENT_USER, then HKEY_LOCAL_MACHINE.
 *
 * @param path Registry path of the key.
 * @param name Value name; "" is the key's default value.
 * @param defaultNumber Returned, reduced to 0..4294967295 as ToUint32 reduces it (-1 gives
 *   4294967295), when the value is missing or of another type or size.
 * @returns The number, or `defaultNumber`.
 * @throws {TypeError} When `path` or `name` is not a string, or `defaultNumber` not a number.
 * @example getUInt32('HKEY_CURRENT_USER\\Software\\Example', 'Retries', 0)
 */
export function getUInt32(path: string, name: string, defaultNumber: number): number;

/**
 * Writes a REG_DWORD, creating the key when it is missing.
 *
 * @param path Registry path of the key; it must begin with a root prefix.
 * @param name Value name; "" is the key's default value.
 * @param number Stored as ToUint32 reduces it: 0 to 4294967295, -1 gives 4294967295.
 * @returns true when written; false when the path has no prefix, the registry refused the write,
 *   or (on Linux) a wineserver runs for the prefix.
 * @throws {TypeError} When `path` or `name` is not a string, or `number` not a number.
 * @example setUInt32('HKEY_CURRENT_USER\\Software\\Example', 'Retries', 5)
 */
export function setUInt32(path: string, name: string, number: number): boolean;

/**
 * Writes a REG_SZ holding `text` up to its first U+0000, creating the key when it is missing.
 *
 * @param path Registry path of the key; it must begin with a root prefix.
 * @param name Value name; "" is the key's default value.
 * @param text The text to store.
 * @returns true when written; false when the path has no prefix, the registry refused the write,
 *   or (on Linux) a wineserver runs for the prefix.
 * @throws {TypeError} When an argument is missing or not a string.
 * @example setString('HKEY_CURRENT_USER\\Software\\Example', 'Theme', 'light')
 */
export function setString(path: string, name: string, text: string): boolean;

/**
 * The name of the value that stores a setting: the setting name, "_h", and a 32-bit hash of the
 * name's UTF-8 bytes in decimal. Touches no registry.
 *
 * @param settingName The setting's name.
 * @returns The hashed value name.
 * @throws {TypeError} When `settingName` is missing or not a string.
 * @example getRegistryKeyName('Height') // 'Height_h3054065626'
 */
export function getRegistryKeyName(settingName: string): string;

/**
 * Writes a REG_BINARY holding the UTF-8 bytes of `text` up to its first U+0000 and one zero
 * byte, creating the key when it is missing. A text of three UTF-8 bytes thus makes a 4-byte
 * value, which getUInt32 reads as a number.
 *
 * @param path Registry path of the key; it must begin with a root prefix.
 * @param name Value name; "" is the key's default value.
 * @param text The text whose bytes are stored.
 * @returns true when written; false when the path has no prefix, the registry refused the write,
 *   or (on Linux) a wineserver runs for the prefix.
 * @throws {TypeError} When an argument is missing or not a string.
 * @example setBinaryValue('HKEY_CURRENT_USER\\Software\\Example', 'Signature', 'RG')
 */
export function setBinaryValue(path: string, name: string, text: string): boolean;

/**
 * Deletes one value of a key (never the key itself).
 *
 * @param path Registry path of the key; it must begin with a root prefix.
 * @param name Value name; "" is the key's default value.
 * @returns true when the value is gone afterwards (deleted, or the key or value did not exist);
 *   false when the path has no prefix, the key exists but cannot be opened for the change, or
 *   the delete fails (on Linux also while a wineserver runs for the prefix).
 * @throws {TypeError} When an argument is missing or not a string.
 * @example deleteKey('HKEY_CURRENT_USER\\Software\\Example', 'Theme')
 */
export function deleteKey(path: string, name: string): boolean;
