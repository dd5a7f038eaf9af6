// The per-entry operations of the case and read-only modes.
#pragma once

#include "OperationMode.h"

#include <windows.h>

#include <string>
#include <string_view>

// The name in the case of the mode: ASCII letters only; any mode without a case keeps it.
std::wstring CaseConvertedName(std::wstring_view name, OperationMode mode);
// Removes the read-only attribute, leaving every other attribute as it was. Gives
// ERROR_SUCCESS, or the error that kept it.
DWORD ClearReadOnly(const std::wstring& entryPath);
