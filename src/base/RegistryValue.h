// Reading one registry value whole, whatever its size.
#pragma once

#include <windows.h>

#include <string>

// The value's type and bytes. The value may grow between the call that sizes it and the one that
// reads it; the read is tried again until it fits. ERROR_FILE_NOT_FOUND when there is no such value.
LSTATUS ReadRegistryValue(HKEY key, const wchar_t* name, DWORD& type, std::string& bytes);
