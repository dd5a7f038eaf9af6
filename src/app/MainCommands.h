// The main window's commands: mode radios, font, Start and the menu.
#pragma once

#include <windows.h>

#include <string>

void HandleCommand(HWND window, int id);
// A menu of the main window is about to open: its items show what they would do now.
void UpdateMenuItems(HWND window, HMENU menu);

// Close and Exit: destroys the window now, or after the Start in progress has finished.
void RequestClose(HWND window);

// The chosen folder of a drop or of Browse: the folder line, the "Folder" setting and Start.
void TakeChosenFolder(HWND window, const std::wstring& path);

// "<current directory in short form>\nomaro.chm".
std::wstring HelpFilePath();
