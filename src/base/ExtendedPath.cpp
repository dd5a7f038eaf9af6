// Paths that reach an entry by its exact name, whatever its length or spelling.
#include "ExtendedPath.h"

#include "Win32Text.h"

std::wstring ExtendedLengthPath(const std::wstring& path)
{
    std::wstring extended;
    if (PlainExtendedLengthPath(path, extended))
        return extended;
    return WithExtendedPrefix(GetFullPathNameString(path));
}
