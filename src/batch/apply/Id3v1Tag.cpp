// Writing the 128-byte ID3v1 tag that renamed MP3 files receive into a file.
#include "Id3v1Tag.h"

#include "UniqueHandle.h"
#include "Win32Text.h"

bool ReadId3v1Tail(HANDLE file, std::uint64_t& size, std::string& tail)
{
    tail.clear();
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(file, &length))
        return false;
    size = static_cast<std::uint64_t>(length.QuadPart);
    if (size < kId3v1TagSize)
        return true;
    LARGE_INTEGER tagStart;
    tagStart.QuadPart = length.QuadPart - static_cast<LONGLONG>(kId3v1TagSize);
    char last[kId3v1TagSize];
    DWORD read = 0;
    if (SetFilePointerEx(file, tagStart, nullptr, FILE_BEGIN) && ReadFile(file, last, sizeof last, &read, nullptr) &&
        read == sizeof last)
        tail.assign(last, sizeof last);
    return true;
}

DWORD StampId3v1Tag(const std::wstring& path, const std::wstring& baseName)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return GetLastError();
    std::uint64_t size = 0;
    std::string tail;
    if (!ReadId3v1Tail(file.get(), size, tail))
        return GetLastError();
    // The text embeds no zero: it comes from a window text and a number. A tail that could not
    // be read is none: the tag goes to the end.
    Id3v1Placement placement = PlaceId3v1Tag(size, tail, ToAnsi(baseName));
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(placement.offset);
    DWORD written = 0;
    if (!SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN) ||
        !WriteFile(file.get(), placement.tag.data(), static_cast<DWORD>(placement.tag.size()), &written, nullptr))
        return GetLastError();
    return written == placement.tag.size() ? DWORD(ERROR_SUCCESS) : DWORD(ERROR_WRITE_FAULT);
}
