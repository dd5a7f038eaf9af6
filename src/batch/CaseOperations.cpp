// The per-entry operations of the case and read-only modes.
#include "CaseOperations.h"

#include "AsciiCase.h"
#include "MoveEntry.h"
#include "RunState.h"

#include <windows.h>

void RenameToCase(const std::wstring& entryPath)
{
    std::wstring::size_type nameStart = LastComponentStart(entryPath);
    std::wstring_view name = std::wstring_view(entryPath).substr(nameStart);
    if (name == L"." || name == L"..")
        return;

    std::wstring newPath = entryPath;
    wchar_t* converted = newPath.data() + nameStart;
    switch (CurrentRun.Mode) {
    case ModeLower:
    case ModeFavorites:
        LowerAscii(converted);
        break;
    case ModeUpper:
        UpperAscii(converted);
        break;
    default:
        return;
    }
    // A name already in the target case needs no move; asking for one anyway would
    // report a file that is merely in use as waiting for a restart.
    if (newPath == entryPath)
        return;
    MoveEntry(entryPath, newPath);
}

void ClearReadOnly(const std::wstring& entryPath)
{
    DWORD attributes = GetFileAttributesW(entryPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY))
        return;
    SetFileAttributesW(entryPath.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
}
