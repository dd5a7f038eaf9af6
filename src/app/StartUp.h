// The program's entry: instance control, command-line mode and GUI mode.
#pragma once

#include <windows.h>

#include <string>

// Exit codes of the command-line mode.
constexpr int kExitCommandLineDone = 1;
constexpr int kExitCommandLinePathNotFound = 2;

int RunProgram(HINSTANCE instance, int showCommand);

// Removes one trailing backslash, then one trailing double quote, as a quoted
// argument ending in a backslash arrives ("D:\My Photos\" gives D:\My Photos").
// A bare drive that results gets its backslash back, so it names the drive's root.
std::wstring StripFolderArgument(std::wstring argument);
