// JPEG's segments and PNG's chunks, walked by their headers up to the image data: the EXIF block
// each carries (a PNG's also after its image data) and the pixel size of its own header.
#include "Crc32.h"
#include "PhotoReaders.h"

#include <algorithm>

namespace {

// A JPEG holds a few dozen segments before its image data; more is a damaged or hostile file.
constexpr int kMaxJpegSegments = 1024;
// The chunks before a PNG's image data: a header, a palette, texts, a few more.
constexpr int kMaxPngChunks = 4096;
// How far from its end a PNG is searched for an eXIf chunk after its image data: EXIF from a
// JPEG (at most 64 KiB) and the text chunks ImageMagick writes after it.
constexpr std::uint64_t kPngTailBytes = 128 * 1024;
// The chunk's CRC is checked for at most this many places that look like one: a real file has
// one, and a hostile one must not make the readers check a CRC over the tail at every byte.
constexpr int kMaxExifCandidates = 16;

bool IsFrameHeader(unsigned marker)
{
    // SOF0-SOF15 but DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The TIFF structure of an eXIf chunk's data. Some ImageMagick versions put JPEG's "Exif\0\0"
// before it, which exiftool passes over too.
bool ReadExifChunk(ByteSource& source, std::uint64_t data, std::uint64_t length, PhotoDetails& photo)
{
    std::string signature;
    if (length >= 6 && ReadExact(source, data, 6, signature) && signature == std::string("Exif\0\0", 6)) {
        data += 6;
        length -= 6;
    }
    return ReadTiffDetails(source, data, length, TiffRole::Embedded, photo);
}

// ImageMagick writes eXIf after the image data. Walking there chunk by chunk would read a header
// every 8 to 32 KiB of the image, so the chunk is looked for among the file's last bytes from
// imageData on instead, known by its CRC.
void ReadExifAfterImageData(ByteSource& source, std::uint64_t imageData, PhotoDetails& photo)
{
    std::uint64_t size = source.Size();
    std::uint64_t begin = std::max(imageData, size > kPngTailBytes ? size - kPngTailBytes : 0);
    if (begin >= size)
        return;
    std::string tail = ReadBytes(source, begin, static_cast<size_t>(size - begin));
    std::string_view bytes = tail;
    // The type, 4 bytes after the chunk's start; its length before it, its data and CRC after it.
    int candidates = 0;
    for (size_t type = bytes.find("eXIf", 4); type != std::string_view::npos; type = bytes.find("eXIf", type + 1)) {
        std::uint64_t length = Be32(bytes, type - 4);
        if (bytes.size() - type < 8 || length > bytes.size() - type - 8)
            continue;
        if (++candidates > kMaxExifCandidates)
            return;
        if (Crc32(bytes.substr(type, 4 + static_cast<size_t>(length))) != Be32(bytes, type + 4 + static_cast<size_t>(length)))
            continue;
        ReadExifChunk(source, begin + type + 4, length, photo);
        return;
    }
}

} // namespace

void ReadJpegDetails(ByteSource& source, PhotoDetails& photo)
{
    std::uint64_t size = source.Size();
    std::uint64_t pos = 2; // after SOI
    bool exifSeen = false;
    std::uint32_t frameWidth = 0;
    std::uint32_t frameHeight = 0;
    for (int segments = 0; segments < kMaxJpegSegments && pos + 4 <= size; ++segments) {
        std::string head;
        if (!ReadExact(source, pos, 4, head) || static_cast<unsigned char>(head[0]) != 0xFF)
            break;
        unsigned marker = static_cast<unsigned char>(head[1]);
        if (marker == 0xFF) { // a fill byte before the marker
            ++pos;
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            pos += 2; // markers without a length
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) // the image data begins, or the image ends
            break;
        std::uint64_t length = Be16(head, 2);
        if (length < 2)
            break;
        std::uint64_t data = pos + 4;
        std::uint64_t dataLength = length - 2;
        if (marker == 0xE1 && !exifSeen && dataLength > 6) {
            // The first segment that holds EXIF: exiftool lets a second one's values replace the
            // first's, but cameras and Windows read the first.
            std::string signature;
            if (ReadExact(source, data, 6, signature) && signature == std::string("Exif\0\0", 6))
                exifSeen = ReadTiffDetails(source, data + 6, dataLength - 6, TiffRole::Embedded, photo);
        } else if (IsFrameHeader(marker) && frameWidth == 0) {
            std::string frame;
            if (ReadExact(source, data, 5, frame)) {
                frameHeight = Be16(frame, 1);
                frameWidth = Be16(frame, 3);
            }
        }
        pos = data + dataLength;
    }
    if (frameWidth != 0 && frameHeight != 0) {
        photo.width = frameWidth;
        photo.height = frameHeight;
    }
}

void ReadPngDetails(ByteSource& source, PhotoDetails& photo)
{
    std::uint64_t size = source.Size();
    std::uint64_t pos = 8; // after the signature
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool exifSeen = false;
    for (int chunks = 0; chunks < kMaxPngChunks && pos + 8 <= size; ++chunks) {
        std::string head;
        if (!ReadExact(source, pos, 8, head))
            break;
        std::uint64_t length = Be32(head, 0);
        std::string type = head.substr(4, 4);
        std::uint64_t data = pos + 8;
        if (type == "IDAT") {
            if (!exifSeen)
                ReadExifAfterImageData(source, pos, photo);
            break;
        }
        if (type == "IEND")
            break;
        if (type == "IHDR" && chunks == 0) {
            std::string body;
            if (length >= 8 && ReadExact(source, data, 8, body)) {
                width = Be32(body, 0);
                height = Be32(body, 4);
            }
        } else if (type == "eXIf" && !exifSeen) {
            exifSeen = ReadExifChunk(source, data, length, photo);
        }
        pos = data + length + 4; // and the CRC
    }
    if (width != 0 && height != 0) {
        photo.width = width;
        photo.height = height;
    }
}
