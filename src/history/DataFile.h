// Whole-file reading, crash-safe replacement and backups of the history's own files.
#pragma once

#include "StagedFile.h"

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

// The first backup of X is X.bak; when that name is taken, X.1.bak, X.2.bak and so on.
constexpr wchar_t kBackupSuffix[] = L".bak";

// Reads from the file's current position to its end. False when a read fails part way.
bool ReadRestOfFile(HANDLE file, std::string& bytes);

// Writes all of bytes at the file's current position.
bool WriteAllBytes(HANDLE file, std::string_view bytes);

// Has write fill a temporary file beside path, makes it durable and then puts it in path's place
// in one step, so that a crash or a full disk never leaves a half-written file. False when path
// is unchanged, with the system's error code as the last error.
bool ReplaceFileWith(const std::wstring& path, const std::function<bool(HANDLE file)>& write);
// The same with the bytes given.
bool ReplaceFileContents(const std::wstring& path, const std::string& bytes);

// Copies path to the first free backup name; never replaces an existing file, an older backup or
// a user's own. False when no copy was made.
bool BackUpFile(const std::wstring& path);

// The name whose backup or temporary file name is (X for X.bak, X.3.bak, X.tmp and X.2.tmp); empty when
// name is neither.
std::wstring_view CompanionBase(std::wstring_view name);
