// The Preview dialog (dialog resource IDD_PREVIEW): a planned run, entry by entry, before
// anything changes.
#pragma once

#include "RunPlan.h"

#include <windows.h>

// Shows the plan modally over owner. True when the user chose Start (Enter, the default
// button); false for Close, Escape or the close box, and when the dialog cannot be shown.
bool ShowPreviewDialog(HWND owner, const RunPlan& plan);
