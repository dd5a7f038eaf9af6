// The per-entry operations of the case and read-only modes.
#include "CaseOperations.h"

#include "AsciiCase.h"

std::wstring CaseConvertedName(std::wstring_view name, OperationMode mode)
{
    std::wstring converted(name);
    switch (mode) {
    case ModeLower:
    case ModeFavorites:
        LowerAscii(converted);
        break;
    case ModeUpper:
        UpperAscii(converted);
        break;
    default:
        break;
    }
    return converted;
}

DWORD ClearReadOnly(const std::wstring& entryPath)
{
    DWORD attributes = GetFileAttributesW(entryPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError();
    if (!(attributes & FILE_ATTRIBUTE_READONLY))
        return ERROR_SUCCESS;
    if (!SetFileAttributesW(entryPath.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY)))
        return GetLastError();
    return ERROR_SUCCESS;
}
