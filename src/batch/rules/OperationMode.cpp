// The operation a run performs.
#include "OperationMode.h"

bool IsOperationMode(unsigned value)
{
    return IsPanelMode(value) || value == ModeFindReplace;
}

bool IsPanelMode(unsigned value)
{
    switch (value) {
    case ModeLower:
    case ModeUpper:
    case ModeFavorites:
    case ModeNumber:
    case ModeListing:
    case ModeReadOnly:
        return true;
    default:
        return false;
    }
}
