// Where a tag goes, on any file end: over the last 128 bytes only when they were read whole and
// begin with "TAG" in any case, keeping those three bytes; at the end otherwise; always 128 bytes
// with the text in its four fields.
//
// The input: the file's size (8 bytes, little-endian), the text's length (1 byte), the text, then
// the file's last bytes as they were read.
#include "FuzzInput.h"
#include "Id3v1Bytes.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    std::string_view input = InputBytes(data, size);
    if (input.size() < 9)
        return 0;
    std::uint64_t fileSize = 0;
    for (size_t i = 8; i-- > 0;)
        fileSize = (fileSize << 8) | static_cast<unsigned char>(input[i]);
    size_t textLength = std::min<size_t>(static_cast<unsigned char>(input[8]), input.size() - 9);
    std::string_view text = input.substr(9, textLength);
    std::string_view tail = input.substr(9 + textLength);

    Id3v1Placement placement = PlaceId3v1Tag(fileSize, tail, text);
    std::string_view tag(placement.tag.data(), placement.tag.size());
    bool overTag = fileSize >= kId3v1TagSize && tail.size() == kId3v1TagSize && IsId3v1Header(tail);
    Check(placement.replaces == overTag, "a tag is replaced exactly when the file ends in one");
    if (overTag) {
        Check(placement.offset == fileSize - kId3v1TagSize && placement.oldTag == tail, "the old tag is kept");
        Check(tag.substr(0, kId3v1HeaderSize) == tail.substr(0, kId3v1HeaderSize), "its header bytes stay");
    } else {
        Check(placement.offset == fileSize && placement.oldTag.empty() && tag.substr(0, kId3v1HeaderSize) == "TAG",
              "a new tag goes to the end");
    }
    std::string field(text.substr(0, kId3v1TextFieldSize));
    field.resize(kId3v1TextFieldSize, ' ');
    Check(tag.substr(3, 30) == field && tag.substr(33, 30) == field && tag.substr(63, 30) == field &&
              tag.substr(93, 4) == "    " && tag.substr(97, 30) == field && tag[127] == ' ',
          "the text in title, artist, album and comment");
    Check(IsId3v1Header(tag), "the tag is one");
    return 0;
}
