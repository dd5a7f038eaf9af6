// File > Undo: names the newest journaled run, asks, takes it back and reports.
#pragma once

#include "UndoRun.h"

#include <windows.h>

#include <string>

// "Undo Number in C:\Photos" for the run on offer; "Undo" when there is none.
std::wstring UndoMenuText(const UndoOffer& offer);

// Names the run in the Undo item of menu (when it has one) and greys the item when there is
// nothing to undo or a run is in progress.
void UpdateUndoItem(HMENU menu, const std::wstring& journalFolder);

// "Undo is done: N steps undone", then what was not and why.
std::wstring UndoReportText(const UndoReport& report);

// "The record is kept as" and where, for a journal set aside.
std::wstring KeptAsText(const std::wstring& keptAs);
// That part of the record of "this" or "that" run could not be read, so it was not all undone.
std::wstring PartNotReadText(const wchar_t* whichRun);

// Takes back the newest run of the journal folder, after the user has confirmed it.
void RunUndo(HWND window, const std::wstring& journalFolder);
