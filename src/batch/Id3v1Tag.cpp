// The 128-byte ID3v1 tag that renamed MP3 files receive: its bytes, and writing it into a file.
#include "Id3v1Tag.h"

#include "UniqueHandle.h"
#include "Win32Text.h"

#include <windows.h>

#include <algorithm>

static constexpr char kNewHeader[] = "TAG";
static constexpr size_t kYearSize = 4;

static char* PutTextField(char* out, std::string_view text)
{
    std::string_view cut = text.substr(0, std::min(text.size(), kId3v1TextFieldSize));
    char* end = std::copy(cut.begin(), cut.end(), out);
    return std::fill_n(end, kId3v1TextFieldSize - cut.size(), ' ');
}

Id3v1Tag ComposeId3v1Tag(std::string_view header, std::string_view text)
{
    Id3v1Tag tag;
    tag.fill(' ');
    std::copy_n(header.begin(), std::min(header.size(), kId3v1HeaderSize), tag.data());
    char* out = tag.data() + kId3v1HeaderSize;
    out = PutTextField(out, text); // title
    out = PutTextField(out, text); // artist
    out = PutTextField(out, text); // album
    out += kYearSize;              // year: spaces
    PutTextField(out, text);       // comment, then the genre byte stays a space
    return tag;
}

bool IsId3v1Header(std::string_view bytes)
{
    if (bytes.size() < kId3v1HeaderSize)
        return false;
    for (size_t i = 0; i < kId3v1HeaderSize; ++i) {
        char unit = bytes[i];
        if (unit >= 'a' && unit <= 'z')
            unit = static_cast<char>(unit - 'a' + 'A');
        if (unit != kNewHeader[i])
            return false;
    }
    return true;
}

DWORD StampId3v1Tag(const std::wstring& path, const std::wstring& baseName)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return GetLastError();
    // The text embeds no zero: it comes from a window text and a number.
    std::string text = ToAnsi(baseName);

    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        return GetLastError();
    std::string header(kNewHeader);
    LARGE_INTEGER position = size;
    if (size.QuadPart >= static_cast<LONGLONG>(kId3v1TagSize)) {
        LARGE_INTEGER tagStart;
        tagStart.QuadPart = size.QuadPart - static_cast<LONGLONG>(kId3v1TagSize);
        char last[kId3v1TagSize];
        DWORD read = 0;
        if (SetFilePointerEx(file.get(), tagStart, nullptr, FILE_BEGIN) &&
            ReadFile(file.get(), last, sizeof last, &read, nullptr) && read == sizeof last &&
            IsId3v1Header(std::string_view(last, read))) {
            header.assign(last, kId3v1HeaderSize);
            position = tagStart;
        }
    }

    Id3v1Tag tag = ComposeId3v1Tag(header, text);
    DWORD written = 0;
    if (!SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN) ||
        !WriteFile(file.get(), tag.data(), static_cast<DWORD>(tag.size()), &written, nullptr))
        return GetLastError();
    return written == tag.size() ? DWORD(ERROR_SUCCESS) : DWORD(ERROR_WRITE_FAULT);
}
