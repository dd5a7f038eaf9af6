// File > Find and Replace... (Ctrl+H): the chosen folder's tree walked once, the dialog, and on its
// Rename exactly the plan shown, applied and ended as Start ends.
#pragma once

#include <windows.h>

// Makes the command's checks (a folder is chosen, and it is a folder), walks the tree and shows
// the dialog; on Rename applies its plan with the journal, the progress bar, the end boxes and
// "Done!". Close changes nothing but the dialog's remembered texts, options and size. Ignored
// while a command of Start's kind is in progress.
void RunFindReplace(HWND window);

// The File menu is about to open: Find and Replace is offered whenever the folder line is not empty.
void UpdateFindReplaceItem(HWND window, HMENU menu);
