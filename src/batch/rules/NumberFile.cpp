// The names that sequential renaming gives files.
#include "NumberFile.h"

#include <windows.h>

std::wstring NumberedBaseName(const std::wstring& nameText, std::uint64_t number, std::int32_t width)
{
    std::wstring digits = std::to_wstring(number);
    if (width > 0 && digits.size() < static_cast<size_t>(width))
        digits.insert(0, static_cast<size_t>(width) - digits.size(), L'0');
    return nameText + digits;
}

NumberedTarget NumberedName(std::wstring_view name, const std::wstring& baseName)
{
    NumberedTarget target;
    std::wstring_view::size_type dot = name.find_last_of(L'.');
    if (dot != std::wstring_view::npos)
        target.extension = name.substr(dot + 1);
    // The platform's full lower-casing: every letter with a lower-case form, not only A-Z.
    if (!target.extension.empty())
        CharLowerBuffW(target.extension.data(), static_cast<DWORD>(target.extension.size()));
    target.newName.reserve(baseName.size() + 1 + target.extension.size());
    target.newName = baseName;
    // A name ending in a dot has an empty extension; Windows would drop a trailing dot
    // from the new name, so the recorded path would not be the file's.
    if (!target.extension.empty())
        target.newName.append(1, L'.').append(target.extension);
    return target;
}
