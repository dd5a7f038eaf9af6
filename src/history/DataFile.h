// Whole-file reading and crash-safe replacement of the history's own files.
#pragma once

#include <windows.h>

#include <string>

// The temporary file a replacement is written to, beside the file it replaces.
constexpr wchar_t kTemporarySuffix[] = L".tmp";

// Reads from the file's current position to its end. False when a read fails part way.
bool ReadRestOfFile(HANDLE file, std::string& bytes);

// Writes bytes to a temporary file beside path and then puts it in path's place in one step,
// so that a crash or a full disk never leaves a half-written file. False when path is unchanged.
bool ReplaceFileContents(const std::wstring& path, const std::string& bytes);
