#pragma once
#include <windows.h>

// Size in bytes of the stored value, or 0 when the key or the value is
// missing, the value is empty, or the query fails otherwise. The stored type
// is reported into a copy of `type` and not compared with it.
DWORD QueryValueSize(HKEY root, const char* keyPath, const char* valueName, DWORD type);

// Sets the value, creating the key path when it is missing. Returns 1 when
// the value was set, 0 otherwise; on failure the stored value is unchanged.
BOOL WriteRegistryValue(HKEY root, const char* keyPath, const char* valueName, const void* data,
                        DWORD size, DWORD type);

// Reads the value into `data`: `size` gives the capacity and receives the
// number of bytes read. Returns 1 on success; 0 when the key does not open or
// the query fails, for example with a value larger than the capacity.
BOOL ReadRegistryValue(HKEY root, const char* keyPath, const char* valueName, void* data, DWORD& size);
