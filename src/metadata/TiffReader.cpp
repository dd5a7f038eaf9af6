// TIFF's IFDs: Make, Model, the EXIF date taken and the pixel size, with every offset checked
// against the structure's bounds and every IFD visited once.
#include "DetailText.h"
#include "PhotoReaders.h"

#include <algorithm>
#include <set>
#include <vector>

namespace {

constexpr std::uint16_t kTagNewSubfileType = 0x00FE;
constexpr std::uint16_t kTagImageWidth = 0x0100;
constexpr std::uint16_t kTagImageLength = 0x0101;
constexpr std::uint16_t kTagMake = 0x010F;
constexpr std::uint16_t kTagModel = 0x0110;
constexpr std::uint16_t kTagSubIfds = 0x014A;
constexpr std::uint16_t kTagExifIfd = 0x8769;
constexpr std::uint16_t kTagDateTimeOriginal = 0x9003;
constexpr std::uint16_t kTagSubSecTimeOriginal = 0x9291;
constexpr std::uint16_t kTagPixelXDimension = 0xA002;
constexpr std::uint16_t kTagPixelYDimension = 0xA003;

constexpr size_t kEntrySize = 12;
constexpr int kMaxSubIfds = 8;
// A date is 20 bytes and a fraction a few digits: more is damage, not more precision.
constexpr size_t kMaxDateBytes = 64;
// Enough bytes for kMaxDetailTextUnits of any UTF-8 text, so that a cut never falls inside the
// characters kept (and makes a UTF-8 text look like Latin-1).
constexpr size_t kMaxTextBytes = 4 * kMaxDetailTextUnits;

struct Entry {
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::string field; // the 4 bytes that hold the value or its offset
};

size_t TypeSize(std::uint16_t type)
{
    switch (type) {
    case 1: case 2: case 6: case 7: return 1; // BYTE ASCII SBYTE UNDEFINED
    case 3: case 8: return 2;                 // SHORT SSHORT
    case 4: case 9: case 11: case 13: return 4; // LONG SLONG FLOAT IFD
    case 5: case 10: case 12: return 8;       // RATIONAL SRATIONAL DOUBLE
    default: return 0;
    }
}

class TiffWalk {
public:
    TiffWalk(ByteSource& source, std::uint64_t base, std::uint64_t length, bool bigEndian)
        : source_(source), base_(base), length_(length), bigEndian_(bigEndian)
    {
    }

    std::uint64_t Number(std::string_view bytes, size_t pos, size_t width) const
    {
        return UnsignedAt(bytes, pos, width, bigEndian_);
    }

    // The entries of the IFD at offset, or none when it was seen before or lies outside.
    std::vector<Entry> Directory(std::uint64_t offset, std::uint64_t* next = nullptr)
    {
        std::vector<Entry> entries;
        if (offset < 8 || offset > length_ || length_ - offset < 2 || directories_ >= kMaxTiffDirectories ||
            !visited_.insert(offset).second)
            return entries;
        ++directories_;
        std::string bytes;
        if (!ReadExact(source_, base_ + offset, 2, bytes))
            return entries;
        std::uint64_t count = Number(bytes, 0, 2);
        std::uint64_t room = (length_ - offset - 2) / kEntrySize;
        std::uint64_t taken = std::min<std::uint64_t>({count, room, kMaxTiffEntries});
        bytes = ReadBytes(source_, base_ + offset + 2, static_cast<size_t>(taken * kEntrySize));
        for (size_t pos = 0; pos + kEntrySize <= bytes.size(); pos += kEntrySize) {
            Entry entry;
            entry.tag = static_cast<std::uint16_t>(Number(bytes, pos, 2));
            entry.type = static_cast<std::uint16_t>(Number(bytes, pos + 2, 2));
            entry.count = static_cast<std::uint32_t>(Number(bytes, pos + 4, 4));
            entry.field = bytes.substr(pos + 8, 4);
            entries.push_back(std::move(entry));
        }
        if (next != nullptr) {
            *next = 0;
            std::string link;
            if (taken == count && ReadExact(source_, base_ + offset + 2 + count * kEntrySize, 4, link))
                *next = Number(link, 0, 4);
        }
        return entries;
    }

    // The first maxBytes bytes of an entry's values, fewer when they lie outside.
    std::string Values(const Entry& entry, size_t maxBytes) const
    {
        size_t unit = TypeSize(entry.type);
        std::uint64_t size = static_cast<std::uint64_t>(unit) * entry.count;
        size_t wanted = static_cast<size_t>(std::min<std::uint64_t>(size, maxBytes));
        if (size <= 4)
            return entry.field.substr(0, wanted);
        std::uint64_t offset = Number(entry.field, 0, 4);
        if (offset >= length_)
            return {};
        wanted = static_cast<size_t>(std::min<std::uint64_t>(wanted, length_ - offset));
        return ReadBytes(source_, base_ + offset, wanted);
    }

    // The entry's first value as an unsigned number, for SHORT and LONG entries.
    bool Unsigned(const Entry& entry, std::uint32_t& value) const
    {
        if ((entry.type != 3 && entry.type != 4 && entry.type != 13) || entry.count == 0)
            return false;
        value = static_cast<std::uint32_t>(Number(entry.field, 0, entry.type == 3 ? 2 : 4));
        return true;
    }

    // The offsets an IFD-pointer entry holds (SubIFDs may hold several).
    std::vector<std::uint64_t> Offsets(const Entry& entry, int most) const
    {
        std::vector<std::uint64_t> offsets;
        if (entry.type != 4 && entry.type != 13)
            return offsets;
        std::string bytes = Values(entry, static_cast<size_t>(most) * 4);
        for (size_t pos = 0; pos + 4 <= bytes.size(); pos += 4)
            offsets.push_back(Number(bytes, pos, 4));
        return offsets;
    }

private:
    ByteSource& source_;
    std::uint64_t base_;
    std::uint64_t length_;
    bool bigEndian_;
    std::set<std::uint64_t> visited_;
    int directories_ = 0;
};

std::string AsciiValue(const TiffWalk& walk, const Entry& entry, size_t maxBytes)
{
    if (entry.type != 2 && entry.type != 7 && entry.type != 1)
        return {};
    std::string bytes = walk.Values(entry, maxBytes);
    size_t nul = bytes.find('\0');
    if (nul != std::string::npos)
        bytes.resize(nul);
    return bytes;
}

// The values of one IFD's entries, as their bytes.
struct ExifValues {
    std::string make;
    std::string model;
    std::string date;
    std::string subSeconds;
    std::uint32_t width = 0;  // PixelXDimension
    std::uint32_t height = 0; // PixelYDimension
};

ExifValues ValuesOf(const TiffWalk& walk, const std::vector<Entry>& entries)
{
    ExifValues values;
    for (const Entry& entry : entries) {
        std::uint32_t value = 0;
        if (entry.tag == kTagMake)
            values.make = AsciiValue(walk, entry, kMaxTextBytes);
        else if (entry.tag == kTagModel)
            values.model = AsciiValue(walk, entry, kMaxTextBytes);
        else if (entry.tag == kTagDateTimeOriginal)
            values.date = AsciiValue(walk, entry, kMaxDateBytes);
        else if (entry.tag == kTagSubSecTimeOriginal)
            values.subSeconds = AsciiValue(walk, entry, kMaxDateBytes);
        else if (entry.tag == kTagPixelXDimension && walk.Unsigned(entry, value))
            values.width = value;
        else if (entry.tag == kTagPixelYDimension && walk.Unsigned(entry, value))
            values.height = value;
    }
    return values;
}

struct ImageSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool reduced = false; // NewSubfileType says this is a preview or a thumbnail
};

ImageSize SizeOf(const TiffWalk& walk, const std::vector<Entry>& entries)
{
    ImageSize size;
    for (const Entry& entry : entries) {
        std::uint32_t value = 0;
        if (!walk.Unsigned(entry, value))
            continue;
        if (entry.tag == kTagImageWidth)
            size.width = value;
        else if (entry.tag == kTagImageLength)
            size.height = value;
        else if (entry.tag == kTagNewSubfileType)
            size.reduced = (value & 1) != 0;
    }
    return size;
}

constexpr std::uint64_t kRw2Magic = 0x0055;

bool IsTiffHeader(std::string_view header, bool& bigEndian)
{
    if (header.size() < 8)
        return false;
    if (header.compare(0, 2, "II") == 0)
        bigEndian = false;
    else if (header.compare(0, 2, "MM") == 0)
        bigEndian = true;
    else
        return false;
    std::uint64_t magic = UnsignedAt(header, 2, 2, bigEndian);
    // 42: TIFF (and DNG, CR2, NEF, NRW, ARW, SR2, PEF); "RO", "RS" or "OR": ORF; 0x55: RW2.
    return magic == 42 || magic == 0x4F52 || magic == 0x5352 || magic == kRw2Magic;
}

} // namespace

bool ReadTiffDetails(ByteSource& source, std::uint64_t base, std::uint64_t length, TiffRole role,
                     PhotoDetails& photo)
{
    std::uint64_t size = source.Size();
    if (base >= size)
        return false;
    length = std::min(length, size - base);
    std::string header;
    bool bigEndian = false;
    if (!ReadExact(source, base, 8, header) || !IsTiffHeader(header, bigEndian))
        return false;
    TiffWalk walk(source, base, length, bigEndian);
    // RW2's IFD0 is Panasonic's own table, where 0x100 and 0x101 are no image size.
    if (UnsignedAt(header, 2, 2, bigEndian) == kRw2Magic)
        role = TiffRole::Embedded;

    std::uint64_t next = 0;
    std::vector<Entry> first = walk.Directory(walk.Number(header, 4, 4), &next);
    std::uint64_t exifOffset = 0;
    std::vector<std::uint64_t> subImages;
    for (const Entry& entry : first) {
        if (entry.tag == kTagExifIfd) {
            std::vector<std::uint64_t> offsets = walk.Offsets(entry, 1);
            if (!offsets.empty())
                exifOffset = offsets.front();
        } else if (entry.tag == kTagSubIfds) {
            subImages = walk.Offsets(entry, kMaxSubIfds);
        }
    }
    // Make and Model belong in IFD0 and the rest in the EXIF IFD, and are taken from there first;
    // exiftool writes each in the other too when asked (-IFD0:DateTimeOriginal) and reads it there.
    ExifValues main = ValuesOf(walk, first);
    ExifValues exif = ValuesOf(walk, walk.Directory(exifOffset));
    photo.make = TrimmedText(TextFromUtf8OrLatin1(main.make.empty() ? exif.make : main.make));
    photo.model = TrimmedText(TextFromUtf8OrLatin1(main.model.empty() ? exif.model : main.model));
    photo.taken = ExifTime(exif.date.empty() ? main.date : exif.date,
                           exif.subSeconds.empty() ? main.subSeconds : exif.subSeconds);
    std::uint32_t exifWidth = exif.width != 0 ? exif.width : main.width;
    std::uint32_t exifHeight = exif.width != 0 ? exif.height : main.height;

    ImageSize image;
    if (role == TiffRole::File) {
        // IFD0 is the main image unless it says it is a reduced one (DNG and NEF keep a preview
        // there): then the largest full-size image among the sub-IFDs and the IFDs chained after.
        image = SizeOf(walk, first);
        if (image.reduced) {
            image = ImageSize{};
            std::vector<std::uint64_t> others = subImages;
            for (int hops = 0; next != 0 && hops < kMaxSubIfds; ++hops) {
                others.push_back(next);
                std::uint64_t after = 0;
                walk.Directory(next, &after);
                next = after;
            }
            TiffWalk again(source, base, length, bigEndian);
            for (std::uint64_t offset : others) {
                ImageSize candidate = SizeOf(again, again.Directory(offset));
                if (!candidate.reduced && static_cast<std::uint64_t>(candidate.width) * candidate.height >
                                              static_cast<std::uint64_t>(image.width) * image.height)
                    image = candidate;
            }
        }
    }
    if (image.width != 0 && image.height != 0) {
        photo.width = image.width;
        photo.height = image.height;
    } else if (exifWidth != 0 && exifHeight != 0) {
        photo.width = exifWidth;
        photo.height = exifHeight;
    }
    return true;
}
