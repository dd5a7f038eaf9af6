// The launcher's state and its library loader, visible to tests: a test cannot make the
// platform's help control disappear, so it may put another loader in place.
#pragma once

#include <windows.h>

using HelpLibraryLoader = HMODULE (*)(const char* path);

// Puts a loader in place (none: LoadLibraryA) and returns the launcher to its first state.
void ResetHtmlHelpLauncher(HelpLibraryLoader loader = nullptr);

enum class HtmlHelpState { NotLoaded, Ready, Failed };
HtmlHelpState CurrentHtmlHelpState();
