// The folder a command-line argument names: text rules only, so that they build and are fuzzed
// without Win32.
#pragma once

#include <string>

// Removes one trailing backslash, then one trailing double quote, as a quoted
// argument ending in a backslash arrives ("D:\My Photos\" gives D:\My Photos).
// A bare drive that results gets its backslash back, so it names the drive's root.
std::wstring StripFolderArgument(std::wstring argument);
