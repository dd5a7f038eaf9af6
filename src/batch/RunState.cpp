// The state of the batch run in progress and the mode in force.
#include "RunState.h"

RunState CurrentRun;
OperationMode CurrentMode = ModeLower;

bool IsOperationMode(unsigned value)
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
