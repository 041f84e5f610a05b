'use strict';

// Checks of the cross-built Windows file itself, read with the mingw-w64 binutils.
const test = require('node:test');
const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const path = require('node:path');
const { symbols } = require('node-api-headers');

const file = path.join(__dirname, '..', '..', 'prebuilds', 'win32-x64', 'registry.node');

function tool(name, ...args) {
  return execFileSync(`x86_64-w64-mingw32-${name}`, [...args, file], { encoding: 'utf8' });
}

const expectedImports = [
  'napi_close_escapable_handle_scope', 'napi_close_handle_scope', 'napi_create_array_with_length',
  'napi_create_double', 'napi_create_error', 'napi_create_external', 'napi_create_function',
  'napi_create_reference', 'napi_create_string_utf8', 'napi_create_symbol',
  'napi_create_type_error', 'napi_define_properties', 'napi_delete_reference',
  'napi_escape_handle', 'napi_fatal_error', 'napi_get_and_clear_last_exception',
  'napi_get_boolean', 'napi_get_cb_info', 'napi_get_last_error_info', 'napi_get_named_property',
  'napi_get_reference_value', 'napi_get_undefined', 'napi_get_value_string_utf8',
  'napi_get_value_uint32', 'napi_is_exception_pending', 'napi_module_register',
  'napi_open_escapable_handle_scope', 'napi_open_handle_scope', 'napi_set_element',
  'napi_set_property', 'napi_throw',
  // node-addon-api 8 wraps a thrown value that is not an object (napi_create_object) and looks
  // for that wrapper when it throws (napi_typeof, napi_has_property, napi_get_property); its
  // AsyncWorker virtual functions, emitted in every file that includes it, import
  // napi_call_function and napi_async_destroy, which the module never calls.
  'napi_create_object', 'napi_typeof', 'napi_has_property', 'napi_get_property',
  'napi_call_function', 'napi_async_destroy',
];

test('the only export is _register_registry_, in a file named registry.node', () => {
  const headers = tool('objdump', '-p');
  const exports = headers.slice(headers.indexOf('[Ordinal/Name Pointer] Table'));
  const names = [...exports.matchAll(/^\s+\[\s*\d+\] (\S+)$/gm)].map((m) => m[1]);
  assert.deepEqual(names, ['_register_registry_']);
  assert.match(headers, /^Name\s+[0-9a-f]+ registry\.node$/m);
});

test('Node-API is imported from node.exe only, and only first-version functions', () => {
  const imported = [...tool('nm').matchAll(/ __imp_(napi_\w+)$/gm)].map((m) => m[1]);
  const firstVersion = new Set([
    ...symbols.v1.js_native_api_symbols,
    ...symbols.v1.node_api_symbols,
  ]);
  for (const name of imported) assert.ok(firstVersion.has(name), `${name} is of a later version`);
  assert.deepEqual([...new Set(imported)].sort(), [...expectedImports].sort());
  assert.match(tool('strings', '-a'), /^node\.exe$/m);
});

test('besides the host the file needs only system libraries: the C++ runtime is linked in', () => {
  const libraries = [...tool('objdump', '-p').matchAll(/DLL Name: (\S+)/g)].map((m) => m[1]);
  const system = ['advapi32.dll', 'kernel32.dll', 'msvcrt.dll'];
  for (const library of libraries) assert.ok(system.includes(library.toLowerCase()), library);
});
