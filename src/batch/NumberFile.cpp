// Sequential renaming of one file, with the ID3v1 tag of renamed MP3 files.
#include "NumberFile.h"

#include "AsciiCase.h"
#include "MoveEntry.h"
#include "RunState.h"
#include "Settings.h"
#include "Win32Text.h"
#include "resource.h"

std::wstring NumberedBaseName(const std::wstring& nameText, std::uint32_t number, std::int32_t width)
{
    std::wstring digits = std::to_wstring(number);
    if (width > 0 && digits.size() < static_cast<size_t>(width))
        digits.insert(0, static_cast<size_t>(width) - digits.size(), L'0');
    return nameText + digits;
}

NumberedTarget NumberedPath(const std::wstring& path, const std::wstring& baseName)
{
    std::wstring::size_type nameStart = LastComponentStart(path);
    std::wstring::size_type dot = path.find_last_of(L'.');
    NumberedTarget target;
    if (dot != std::wstring::npos && dot >= nameStart)
        target.extension = path.substr(dot + 1);
    // The platform's full lower-casing: every letter with a lower-case form, not only A-Z.
    if (!target.extension.empty())
        CharLowerBuffW(target.extension.data(), static_cast<DWORD>(target.extension.size()));
    target.newPath = path.substr(0, nameStart) + baseName;
    // A name ending in a dot has an empty extension; Windows would drop a trailing dot
    // from the new name, so the recorded path would not be the file's.
    if (!target.extension.empty())
        target.newPath += L"." + target.extension;
    return target;
}

static void ClearReadOnlyBit(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(path.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
}

void NumberFile(HWND window, const std::wstring& path, PathList& numberedList)
{
    std::uint32_t number = CurrentRun.StartNumber + static_cast<std::uint32_t>(CurrentRun.RunningIndex);
    std::wstring nameText = window ? GetDlgItemTextString(window, IDC_NAME) : std::wstring();
    std::wstring baseName = NumberedBaseName(nameText, number, CurrentRun.NumberWidth);
    NumberedTarget target = NumberedPath(path, baseName);

    ClearReadOnlyBit(path);
    // When another file already has the new name the move will fail: the file keeps its old
    // name, and must keep its old tag too rather than carry a name it does not have.
    bool nameTakenByAnother = !EqualsAsciiNoCase(target.newPath, path) &&
                              GetFileAttributesW(target.newPath.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (Settings.FillTags && EqualsAsciiNoCase(target.extension, L"mp3") && !nameTakenByAnother)
        StampId3v1Tag(path, baseName);
    // A file that already bears its new name needs no move; some file systems refuse one.
    if (target.newPath != path)
        MoveEntry(path, target.newPath);
    // Recorded whatever the move did, so that the number stays used up.
    Append(numberedList, target.newPath);
}
