// The 128-byte ID3v1 tag as bytes: composing it, telling one at a file's end, and where a new one goes.
#include "Id3v1Bytes.h"

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

Id3v1Placement PlaceId3v1Tag(std::uint64_t fileSize, std::string_view tail, std::string_view text)
{
    Id3v1Placement placement;
    if (fileSize >= kId3v1TagSize && tail.size() == kId3v1TagSize && IsId3v1Header(tail)) {
        placement.replaces = true;
        placement.offset = fileSize - kId3v1TagSize;
        placement.oldTag.assign(tail);
        placement.tag = ComposeId3v1Tag(tail.substr(0, kId3v1HeaderSize), text);
        return placement;
    }
    placement.offset = fileSize;
    placement.tag = ComposeId3v1Tag(kNewHeader, text);
    return placement;
}
