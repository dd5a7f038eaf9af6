// The program's entry: instance control, command-line mode and GUI mode.
#pragma once

#include <windows.h>

#include <string>

// Exit codes of the command-line mode.
constexpr int kExitCommandLineDone = 1;
constexpr int kExitCommandLinePathNotFound = 2;

int RunProgram(HINSTANCE instance, int showCommand);
