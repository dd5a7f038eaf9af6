// Dialogs made from templates, followed to a monitor of another DPI the same way on every Windows:
// the dialog font made again for the new DPI, each control moved to its place at the dialog's
// start scaled to the new DPI, and the rectangle the system suggests.
//
// In WM_INITDIALOG, once the controls are placed and lettered: TrackDialogDpi(dialog).
// In WM_DPICHANGED: OnDialogDpiChanged(dialog, wParam, lParam), then make again what the dialog
// made itself for its DPI (fonts of its own, pictures), and return TRUE. A dialog that places its
// controls from sizes measured with MapDialogRect at its start scales them with ScaleForDialog.
#pragma once

#include <windows.h>

void TrackDialogDpi(HWND dialog);
// Returns the new DPI.
UINT OnDialogDpiChanged(HWND dialog, WPARAM wParam, LPARAM lParam);

// The DPI the dialog is laid out for now: the one it started at until it changes.
UINT DialogDpi(HWND dialog);
// A length measured in pixels at the dialog's start, at its DPI now.
int ScaleForDialog(HWND dialog, int startLength);
