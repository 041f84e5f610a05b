'use strict';

module.exports = `Usage: registry-addon COMMAND ARGUMENTS [--json]

Reads and changes values in the Windows registry; on Linux, in the registry files of the Wine
prefix in $WINEPREFIX (else ~/.wine).

Commands:
  get PATH NAME                      print a string value
  get-number PATH NAME               print a number value (REG_DWORD, or REG_BINARY of 4 bytes)
  list PATH                          print the names and values of a key
  set PATH NAME VALUE [--type T]     write a value; T is string (default), number or binary
  delete PATH NAME                   delete a value (done also when it was not there)
  key-name SETTING                   print the value name that stores a setting
  get-setting PATH SETTING           print a setting's value, as a number when it is one
  set-setting PATH SETTING VALUE [--type T]
                                     write a setting's value

PATH begins with HKEY_CURRENT_USER\\, HKEY_LOCAL_MACHINE\\ or HKEY_CLASSES_ROOT\\ (any letter
case). Without one, get searches all three roots in that order, get-number and get-setting the
first two, list the first; set, set-setting and delete need one. Numbers are decimal or 0x hex,
0 to 4294967295. Put -- before arguments that begin with a dash.

Options:
  --json      print one JSON object on stdout, also when the value is absent or the write refused
  --type T    the type a value is written as (set, set-setting)
  -h, --help  print this help

Exit status: 0 done, 1 the value is absent or the write was refused, 2 a usage error.
`;
