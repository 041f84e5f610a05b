# Sources of the Win32 layer for builds without Windows.
set(REGISTRY_UNIX_PLATFORM_SOURCES
  src/platform/unix/environment_expansion.cc
  src/platform/unix/hive.cc
  src/platform/unix/hive_file.cc
  src/platform/unix/hive_store.cc
  src/platform/unix/hive_syntax.cc
  src/platform/unix/key_handles.cc
  src/platform/unix/name_case.cc
  src/platform/unix/registry_api.cc
  src/platform/unix/text_conversion.cc
  src/platform/unix/utf_codec.cc
  src/platform/unix/wine_prefix.cc
  src/platform/unix/wineserver_probe.cc
)
