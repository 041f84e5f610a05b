# Sources of the Win32 layer for builds without Windows.
set(REGISTRY_UNIX_PLATFORM_SOURCES
)
