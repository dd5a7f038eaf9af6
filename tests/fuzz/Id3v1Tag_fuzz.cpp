// Where a tag goes, on any file end: over the last 128 bytes only when they were read whole and
// begin with "TAG" in any case, keeping those three bytes; at the end otherwise; always the tag
// composed of the text (ComposeId3v1Tag's fields are checked by Id3v1Tag_test).
//
// The input: the file's size (8 bytes, little-endian), the text's length (1 byte), the text, then
// the file's last bytes as they were read.
#include "ByteCodec.h"
#include "FuzzInput.h"
#include "Id3v1Bytes.h"

#include <algorithm>

void FuzzOne(std::string_view input)
{
    ByteReader reader(input);
    std::uint64_t fileSize = 0;
    std::uint8_t textLength = 0;
    std::string_view text;
    std::string_view tail;
    if (!reader.U64(fileSize) || !reader.U8(textLength) ||
        !reader.View(text, std::min<size_t>(textLength, reader.Left())) || !reader.View(tail, reader.Left()))
        return;

    Id3v1Placement placement = PlaceId3v1Tag(fileSize, tail, text);
    bool overTag = fileSize >= kId3v1TagSize && tail.size() == kId3v1TagSize && IsId3v1Header(tail);
    Check(placement.replaces == overTag, "a tag is replaced exactly when the file ends in one");
    Check(overTag ? placement.offset == fileSize - kId3v1TagSize && placement.oldTag == tail
                  : placement.offset == fileSize && placement.oldTag.empty(),
          "a tag goes over the old one, which is kept, or at the end");
    Check(placement.tag == ComposeId3v1Tag(overTag ? tail.substr(0, kId3v1HeaderSize) : "TAG", text),
          "the tag carries the text under the old tag's header bytes or \"TAG\"");
}
