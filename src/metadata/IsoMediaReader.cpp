// The ISO base media file format walked by its box headers: a HEIF or AVIF image's EXIF item and
// primary size, a movie's creation time and its iTunes-style tags. Media data is never read.
#include "DetailText.h"
#include "MediaReaders.h"
#include "PhotoReaders.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::uint32_t FourCc(const char (&name)[5])
{
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(name[0])) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(name[1])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(name[2])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(name[3]));
}

// The iTunes tags' names begin with the copyright sign (0xA9 in the box type).
constexpr std::uint32_t ItunesName(const char (&rest)[4])
{
    return (0xA9u << 24) | (static_cast<std::uint32_t>(static_cast<unsigned char>(rest[0])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(rest[1])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(rest[2]));
}

struct Box {
    std::uint32_t type = 0;
    std::uint64_t body = 0; // where its contents begin
    std::uint64_t end = 0;  // where it ends, cut to its parent's end
};

// The boxes of [pos, end), one by one; counts every box of the file against kMaxIsoBoxes.
class BoxWalk {
public:
    BoxWalk(ByteSource& source, std::uint64_t begin, std::uint64_t end, int& budget)
        : source_(source), pos_(begin), end_(std::min(end, source.Size())), budget_(budget)
    {
    }

    bool Next(Box& box)
    {
        if (pos_ >= end_ || end_ - pos_ < 8 || budget_ <= 0)
            return false;
        --budget_;
        std::string head = ReadBytes(source_, pos_, 16);
        if (head.size() < 8)
            return false;
        std::uint64_t size = Be32(head, 0);
        box.type = Be32(head, 4);
        std::uint64_t headerSize = 8;
        if (size == 1) { // a 64-bit size follows
            if (head.size() < 16)
                return false;
            size = UnsignedAt(head, 8, 8, true);
            headerSize = 16;
        } else if (size == 0) { // to the end of its parent
            size = end_ - pos_;
        }
        if (size < headerSize)
            return false;
        box.body = pos_ + headerSize;
        box.end = size > end_ - pos_ ? end_ : pos_ + size;
        if (box.body > box.end)
            return false;
        pos_ = box.end;
        return true;
    }

private:
    ByteSource& source_;
    std::uint64_t pos_;
    std::uint64_t end_;
    int& budget_;
};

// A box's contents, at most kMaxIsoBoxRead bytes of them.
std::string Contents(ByteSource& source, const Box& box)
{
    return ReadBytes(source, box.body, static_cast<size_t>(std::min<std::uint64_t>(box.end - box.body, kMaxIsoBoxRead)));
}

// Boxes inside bytes already read (the infe entries of iinf, the properties of ipco).
struct InnerBox {
    std::uint32_t type = 0;
    std::string_view body;
};
std::vector<InnerBox> InnerBoxes(std::string_view bytes, size_t pos, size_t most)
{
    std::vector<InnerBox> boxes;
    while (pos + 8 <= bytes.size() && boxes.size() < most) {
        std::uint64_t size = Be32(bytes, pos);
        if (size < 8 || size > bytes.size() - pos)
            break; // 64-bit and open-ended sizes have no place in an item table
        boxes.push_back({Be32(bytes, pos + 4), bytes.substr(pos + 8, static_cast<size_t>(size) - 8)});
        pos += static_cast<size_t>(size);
    }
    return boxes;
}

// --- HEIF and AVIF ---------------------------------------------------------------------------

struct ItemPlace {
    bool found = false;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    bool inIdat = false; // construction method 1: offset counts from the idat box's contents
};

// The item ID of the first item of type Exif in iinf's contents, 0 when none.
std::uint32_t ExifItemId(std::string_view iinf)
{
    if (iinf.size() < 4)
        return 0;
    size_t pos = iinf[0] == 0 ? 6 : 8; // version, flags, then a 16- or 32-bit count
    for (const InnerBox& infe : InnerBoxes(iinf, pos, 65536)) {
        if (infe.type != FourCc("infe") || infe.body.size() < 4)
            continue;
        auto version = static_cast<unsigned char>(infe.body[0]);
        if (version < 2)
            continue;
        size_t idSize = version == 2 ? 2 : 4;
        std::uint32_t id = static_cast<std::uint32_t>(UnsignedAt(infe.body, 4, idSize, true));
        std::uint32_t itemType = Be32(infe.body, 4 + idSize + 2);
        if (itemType == FourCc("Exif") && infe.body.size() >= 4 + idSize + 6)
            return id;
    }
    return 0;
}

// Where iloc puts the item: its first extent.
ItemPlace ItemLocation(std::string_view iloc, std::uint32_t itemId)
{
    ItemPlace place;
    if (iloc.size() < 8)
        return place;
    auto version = static_cast<unsigned char>(iloc[0]);
    if (version > 2)
        return place;
    auto sizes = static_cast<unsigned char>(iloc[4]);
    auto moreSizes = static_cast<unsigned char>(iloc[5]);
    size_t offsetSize = sizes >> 4;
    size_t lengthSize = sizes & 0x0F;
    size_t baseSize = moreSizes >> 4;
    size_t indexSize = version >= 1 ? (moreSizes & 0x0F) : 0;
    auto validSize = [](size_t size) { return size == 0 || size == 4 || size == 8; };
    if (!validSize(offsetSize) || !validSize(lengthSize) || !validSize(baseSize) || !validSize(indexSize))
        return place;
    size_t pos = 6;
    size_t idSize = version < 2 ? 2 : 4;
    std::uint64_t count = UnsignedAt(iloc, pos, idSize, true);
    pos += idSize;
    for (std::uint64_t item = 0; item < count && pos < iloc.size(); ++item) {
        if (iloc.size() - pos < idSize)
            break;
        std::uint64_t id = UnsignedAt(iloc, pos, idSize, true);
        pos += idSize;
        unsigned method = 0;
        if (version >= 1) {
            method = Be16(iloc, pos) & 0x0F;
            pos += 2;
        }
        pos += 2; // data reference index
        std::uint64_t base = UnsignedAt(iloc, pos, baseSize, true);
        pos += baseSize;
        std::uint64_t extents = Be16(iloc, pos);
        pos += 2;
        size_t extentSize = indexSize + offsetSize + lengthSize;
        if (pos > iloc.size() || extents > (iloc.size() - pos) / std::max<size_t>(extentSize, 1))
            break;
        if (id == itemId && extents > 0 && method <= 1) {
            place.found = true;
            place.offset = base + UnsignedAt(iloc, pos + indexSize, offsetSize, true);
            place.length = UnsignedAt(iloc, pos + indexSize + offsetSize, lengthSize, true);
            place.inIdat = method == 1;
            return place;
        }
        pos += static_cast<size_t>(extents) * extentSize;
    }
    return place;
}

struct PixelSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The ispe property associated with the item in ipma, looked up in ipco.
PixelSize PrimarySize(std::string_view ipco, std::string_view ipma, std::uint32_t itemId)
{
    PixelSize size;
    std::vector<InnerBox> properties = InnerBoxes(ipco, 0, 65536);
    if (ipma.size() < 8)
        return size;
    auto version = static_cast<unsigned char>(ipma[0]);
    bool wideIndex = (static_cast<unsigned char>(ipma[3]) & 1) != 0;
    size_t idSize = version < 1 ? 2 : 4;
    std::uint64_t count = Be32(ipma, 4);
    size_t pos = 8;
    for (std::uint64_t entry = 0; entry < count && pos + idSize + 1 <= ipma.size(); ++entry) {
        std::uint64_t id = UnsignedAt(ipma, pos, idSize, true);
        size_t associations = static_cast<unsigned char>(ipma[pos + idSize]);
        pos += idSize + 1;
        size_t each = wideIndex ? 2 : 1;
        if (associations > (ipma.size() - pos) / each)
            break;
        if (id == itemId) {
            for (size_t k = 0; k < associations; ++k) {
                std::uint64_t index = UnsignedAt(ipma, pos + k * each, each, true) & (wideIndex ? 0x7FFF : 0x7F);
                if (index == 0 || index > properties.size())
                    continue;
                const InnerBox& property = properties[static_cast<size_t>(index - 1)];
                if (property.type == FourCc("ispe") && property.body.size() >= 12) {
                    size.width = Be32(property.body, 4);
                    size.height = Be32(property.body, 8);
                    return size;
                }
            }
            return size;
        }
        pos += associations * each;
    }
    return size;
}

void ReadImageMeta(ByteSource& source, const Box& meta, int& budget, PhotoDetails& photo)
{
    std::string iinf;
    std::string iloc;
    std::string ipco;
    std::string ipma;
    std::uint32_t primary = 0;
    bool primaryFound = false;
    Box idat;
    bool idatFound = false;
    BoxWalk children(source, meta.body + 4, meta.end, budget); // meta is a full box
    Box child;
    while (children.Next(child)) {
        if (child.type == FourCc("iinf"))
            iinf = Contents(source, child);
        else if (child.type == FourCc("iloc"))
            iloc = Contents(source, child);
        else if (child.type == FourCc("pitm")) {
            std::string body = ReadBytes(source, child.body, 8);
            if (body.size() >= 6) {
                primaryFound = true;
                primary = static_cast<std::uint32_t>(UnsignedAt(body, 4, body[0] == 0 ? 2 : 4, true));
            }
        } else if (child.type == FourCc("idat")) {
            idat = child;
            idatFound = true;
        } else if (child.type == FourCc("iprp")) {
            BoxWalk properties(source, child.body, child.end, budget);
            Box property;
            while (properties.Next(property)) {
                if (property.type == FourCc("ipco") && ipco.empty())
                    ipco = Contents(source, property);
                else if (property.type == FourCc("ipma") && ipma.empty())
                    ipma = Contents(source, property);
            }
        }
    }

    std::uint32_t exifId = ExifItemId(iinf);
    ItemPlace place = exifId != 0 ? ItemLocation(iloc, exifId) : ItemPlace{};
    if (place.found && (!place.inIdat || idatFound)) {
        std::uint64_t origin = place.inIdat ? idat.body : 0;
        std::uint64_t limit = place.inIdat ? idat.end : source.Size();
        if (place.offset < limit - origin) {
            std::uint64_t begin = origin + place.offset;
            std::uint64_t length = place.length == 0 ? limit - begin : std::min(place.length, limit - begin);
            // The item begins with the offset of the TIFF header from the end of that field.
            std::string field;
            if (length >= 4 && ReadExact(source, begin, 4, field)) {
                std::uint64_t skip = Be32(field, 0);
                if (skip <= length - 4)
                    ReadTiffDetails(source, begin + 4 + skip, length - 4 - skip, TiffRole::Embedded, photo);
            }
        }
    }
    if (primaryFound) {
        PixelSize size = PrimarySize(ipco, ipma, primary);
        if (size.width != 0 && size.height != 0) {
            photo.width = size.width;
            photo.height = size.height;
        }
    }
}

// --- Movies and their tags -------------------------------------------------------------------

void ReadMovieHeader(ByteSource& source, const Box& mvhd, PhotoDetails& photo)
{
    std::string body = ReadBytes(source, mvhd.body, 12);
    if (body.size() < 8)
        return;
    if (body[0] == 1 && body.size() >= 12)
        photo.taken = TimeFrom1904(UnsignedAt(body, 4, 8, true));
    else if (body[0] == 0)
        photo.taken = TimeFrom1904(Be32(body, 4));
}

// The value of an ilst item's first data box: its type indicator and its bytes.
bool ItemData(std::string_view item, std::uint32_t& dataType, std::string_view& value)
{
    for (const InnerBox& data : InnerBoxes(item, 0, 16)) {
        if (data.type != FourCc("data") || data.body.size() < 8)
            continue;
        dataType = Be32(data.body, 0) & 0x00FFFFFF;
        value = data.body.substr(8);
        return true;
    }
    return false;
}

std::wstring ItemText(std::uint32_t dataType, std::string_view value)
{
    // 2: UTF-16 big-endian; 1 (UTF-8) and anything else read as UTF-8.
    return TextBeforeNul(dataType == 2 ? TextFromUtf16(value, true) : TextFromUtf8(value));
}

void ReadItemList(ByteSource& source, const Box& ilst, int& budget, MusicDetails& music)
{
    BoxWalk items(source, ilst.body, ilst.end, budget);
    Box item;
    while (items.Next(item)) {
        std::wstring* text = nullptr;
        switch (item.type) {
        case ItunesName("nam"): text = &music.title; break;
        case ItunesName("ART"): text = &music.artist; break;
        case FourCc("aART"): text = &music.albumArtist; break;
        case ItunesName("alb"): text = &music.album; break;
        case ItunesName("gen"): text = &music.genre; break;
        case ItunesName("day"):
        case FourCc("trkn"):
        case FourCc("disk"):
        case FourCc("gnre"): break;
        default: continue; // cover art and the rest are not read
        }
        std::string bytes = ReadBytes(source, item.body,
                                      static_cast<size_t>(std::min<std::uint64_t>(item.end - item.body, kMaxIsoBoxRead)));
        std::uint32_t dataType = 0;
        std::string_view value;
        if (!ItemData(bytes, dataType, value))
            continue;
        if (text != nullptr) {
            *text = ItemText(dataType, value);
        } else if (item.type == ItunesName("day")) {
            music.year = LeadingYear(ItemText(dataType, value));
        } else if (item.type == FourCc("trkn") || item.type == FourCc("disk")) {
            // Two reserved bytes, the number, the total.
            (item.type == FourCc("trkn") ? music.track : music.disc) = Be16(value, 2);
        } else if (item.type == FourCc("gnre") && music.genre.empty() && value.size() >= 2) {
            std::uint32_t number = Be16(value, 0);
            if (number != 0)
                music.genre = Id3GenreName(number - 1);
        }
    }
}

// A meta box holding tags: ISO's is a full box, QuickTime's is not (a hdlr box follows at once).
void ReadTagMeta(ByteSource& source, const Box& meta, int& budget, MusicDetails& music)
{
    std::string peek = ReadBytes(source, meta.body, 8);
    std::uint64_t first = peek.size() == 8 && peek.compare(4, 4, "hdlr") == 0 ? meta.body : meta.body + 4;
    BoxWalk children(source, first, meta.end, budget);
    Box child;
    while (children.Next(child))
        if (child.type == FourCc("ilst"))
            ReadItemList(source, child, budget, music);
}

void ReadMovie(ByteSource& source, const Box& moov, unsigned wanted, int& budget, FileDetails& details)
{
    BoxWalk children(source, moov.body, moov.end, budget);
    Box child;
    while (children.Next(child)) {
        if (child.type == FourCc("mvhd") && (wanted & kWantPhotoDetails) != 0) {
            ReadMovieHeader(source, child, details.photo);
        } else if ((wanted & kWantMusicDetails) == 0) {
            continue;
        } else if (child.type == FourCc("meta")) {
            ReadTagMeta(source, child, budget, details.music);
        } else if (child.type == FourCc("udta")) {
            BoxWalk userData(source, child.body, child.end, budget);
            Box inner;
            while (userData.Next(inner))
                if (inner.type == FourCc("meta"))
                    ReadTagMeta(source, inner, budget, details.music);
        }
    }
}

bool IsAudioBrand(std::uint32_t brand)
{
    return brand == FourCc("M4A ") || brand == FourCc("M4B ") || brand == FourCc("M4P ");
}

bool IsImageBrand(std::uint32_t brand)
{
    for (std::uint32_t image : {FourCc("heic"), FourCc("heix"), FourCc("heim"), FourCc("heis"), FourCc("hevc"),
                                FourCc("hevx"), FourCc("mif1"), FourCc("msf1"), FourCc("avif"), FourCc("avis")})
        if (brand == image)
            return true;
    return false;
}

} // namespace

void ReadIsoMediaDetails(ByteSource& source, unsigned wanted, FileDetails& details)
{
    details.format = DetailsFormat::IsoMedia;
    int budget = kMaxIsoBoxes;
    BoxWalk top(source, 0, source.Size(), budget);
    Box box;
    while (top.Next(box)) {
        if (box.type == FourCc("ftyp")) {
            std::string brand = ReadBytes(source, box.body, 4);
            if (brand.size() == 4 && IsImageBrand(Be32(brand, 0)))
                details.format = DetailsFormat::Heif;
            else if (brand.size() == 4 && IsAudioBrand(Be32(brand, 0)))
                details.format = DetailsFormat::IsoAudio;
        } else if (box.type == FourCc("meta") && (wanted & kWantPhotoDetails) != 0) {
            ReadImageMeta(source, box, budget, details.photo);
        } else if (box.type == FourCc("moov")) {
            ReadMovie(source, box, wanted, budget, details);
        }
    }
}
