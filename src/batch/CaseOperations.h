// The per-entry operations of the case and read-only modes.
#pragma once

#include "OperationMode.h"

#include <string>

// Renames the entry's last component into the case of the run's mode.
void RenameToCase(const std::wstring& entryPath);
// Removes the read-only attribute, leaving every other attribute as it was.
void ClearReadOnly(const std::wstring& entryPath);
