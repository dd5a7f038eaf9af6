// MP3 tags: an ID3v2 tag (2.2, 2.3, 2.4) frame by frame, pictures and unwanted frames passed over
// unread; or, when there is none, the ID3v1 tag in the last 128 bytes.
#include "DetailText.h"
#include "MediaReaders.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kHeaderSize = 10;
constexpr size_t kId3v1Size = 128;
// A whole-tag unsynchronised tag must be read through to be skipped: up to this far.
constexpr std::uint64_t kMaxUnsyncRead = 16 * 1024 * 1024;

std::uint64_t Syncsafe(std::string_view bytes, size_t pos)
{
    std::uint64_t value = 0;
    for (size_t i = pos; i < pos + 4 && i < bytes.size(); ++i)
        value = (value << 7) | (static_cast<unsigned char>(bytes[i]) & 0x7F);
    return value;
}

bool IsSyncsafe(std::string_view bytes, size_t pos)
{
    for (size_t i = pos; i < pos + 4 && i < bytes.size(); ++i)
        if ((static_cast<unsigned char>(bytes[i]) & 0x80) != 0)
            return false;
    return true;
}

// Unsynchronisation undone: every 0x00 after an 0xFF goes. Skipping reads through the bytes.
class UnsyncStream : public ByteStream {
public:
    explicit UnsyncStream(ByteStream& inner) : inner_(inner) {}

    size_t Read(char* out, size_t size) override
    {
        size_t count = 0;
        char byte = 0;
        while (count < size && read_ < kMaxUnsyncRead && inner_.Read(&byte, 1) == 1) {
            ++read_;
            if (byte == 0 && afterFf_) {
                afterFf_ = false;
                continue;
            }
            afterFf_ = static_cast<unsigned char>(byte) == 0xFF;
            out[count++] = byte;
        }
        return count;
    }

    bool Skip(std::uint64_t count) override
    {
        char buffer[4096];
        while (count > 0) {
            size_t now = Read(buffer, static_cast<size_t>(std::min<std::uint64_t>(count, sizeof buffer)));
            if (now == 0)
                return false;
            count -= now;
        }
        return true;
    }

private:
    ByteStream& inner_;
    bool afterFf_ = false;
    std::uint64_t read_ = 0;
};

std::string Resynchronised(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        out.push_back(bytes[i]);
        if (static_cast<unsigned char>(bytes[i]) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0)
            ++i;
    }
    return out;
}

// Whether UTF-16 text without a BOM is big-endian. Windows programs write it little-endian,
// others big-endian, as exiftool reads it; in text mostly of Latin letters the zero bytes show
// which (first of each pair in big-endian). Little-endian when they do not tell.
bool LooksBigEndian(std::string_view text)
{
    size_t firstZeros = 0;
    size_t secondZeros = 0;
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
        firstZeros += text[i] == 0 ? 1 : 0;
        secondZeros += text[i + 1] == 0 ? 1 : 0;
    }
    return firstZeros > secondZeros;
}

// The first value of a text frame's body: its encoding byte, then the text.
std::wstring FrameText(std::string_view body)
{
    if (body.empty())
        return {};
    std::string_view text = body.substr(1);
    switch (body[0]) {
    case 0: return TextBeforeNul(TextFromLatin1(text));
    case 1:
    case 2: {
        bool bigEndian = body[0] == 2 || LooksBigEndian(text);
        if (text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xFF && static_cast<unsigned char>(text[1]) == 0xFE) {
            bigEndian = false;
            text.remove_prefix(2);
        } else if (text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xFE &&
                   static_cast<unsigned char>(text[1]) == 0xFF) {
            bigEndian = true;
            text.remove_prefix(2);
        }
        return TextBeforeNul(TextFromUtf16(text, bigEndian));
    }
    case 3:
        if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
            text.remove_prefix(3);
        return TextBeforeNul(TextFromUtf8(text));
    default: return {};
    }
}

enum class Field { None, Artist, AlbumArtist, Album, Title, Track, Disc, Year, RecordingTime, Genre };

Field FieldOf(std::string_view id)
{
    struct Name {
        const char* v3;
        const char* v2;
        Field field;
    };
    static constexpr Name kNames[] = {
        {"TPE1", "TP1", Field::Artist}, {"TPE2", "TP2", Field::AlbumArtist}, {"TALB", "TAL", Field::Album},
        {"TIT2", "TT2", Field::Title},  {"TRCK", "TRK", Field::Track},       {"TPOS", "TPA", Field::Disc},
        {"TYER", "TYE", Field::Year},   {"TDRC", "TDRC", Field::RecordingTime}, {"TCON", "TCO", Field::Genre},
    };
    for (const Name& name : kNames)
        if (id == name.v3 || id == name.v2)
            return name.field;
    return Field::None;
}

// What the frames gave so far. A tag may hold a frame twice: the first counts, as mutagen reads
// it. TDRC, 2.4's recording time, goes before 2.3's TYER whichever comes first.
struct Found {
    unsigned fields = 0; // a bit for each Field read
    std::uint32_t year = 0;
    std::uint32_t recordedYear = 0;
};

void PutField(Field field, const std::wstring& text, MusicDetails& music, Found& found)
{
    unsigned bit = 1u << static_cast<unsigned>(field);
    if ((found.fields & bit) != 0)
        return;
    found.fields |= bit;
    switch (field) {
    case Field::Artist: music.artist = text; break;
    case Field::AlbumArtist: music.albumArtist = text; break;
    case Field::Album: music.album = text; break;
    case Field::Title: music.title = text; break;
    case Field::Track: music.track = LeadingNumber(text); break;
    case Field::Disc: music.disc = LeadingNumber(text); break;
    case Field::Year: found.year = LeadingYear(text); break;
    case Field::RecordingTime: found.recordedYear = LeadingYear(text); break;
    case Field::Genre: music.genre = Id3GenreText(text); break;
    case Field::None: break;
    }
    music.year = found.recordedYear != 0 ? found.recordedYear : found.year;
}

bool IsFrameId(std::string_view id)
{
    for (char unit : id)
        if (!((unit >= 'A' && unit <= 'Z') || (unit >= '0' && unit <= '9')))
            return false;
    return true;
}

// Whether a frame header, the padding or the tag's end lies at pos of a 2.4 tag's frames.
bool FrameOrEndAt(ByteSource& source, std::uint64_t pos, std::uint64_t end)
{
    if (pos == end)
        return true;
    std::string next;
    if (pos > end || end - pos < 4 || !ReadExact(source, pos, 4, next))
        return false;
    return next[0] == 0 || IsFrameId(next);
}

// A 2.4 frame's size: syncsafe, unless it is a plain number (some writers put those): shown by a
// byte with its top bit set, or by the syncsafe size leading nowhere where the plain one leads
// to the next frame. frames gives the position of the size's frame body in the file, when known.
std::uint64_t Version4Size(std::string_view header, const SourceStream* frames)
{
    if (!IsSyncsafe(header, 4))
        return Be32(header, 4);
    std::uint64_t syncsafe = Syncsafe(header, 4);
    std::uint64_t plain = Be32(header, 4);
    if (frames == nullptr || plain == syncsafe)
        return syncsafe;
    ByteSource& source = frames->Source();
    std::uint64_t end = frames->Position() + frames->Left();
    if (!FrameOrEndAt(source, frames->Position() + syncsafe, end) &&
        FrameOrEndAt(source, frames->Position() + plain, end))
        return plain;
    return syncsafe;
}

void ReadFrames(ByteStream& tag, const SourceStream* plainFrames, unsigned version, bool tagUnsync,
                MusicDetails& music)
{
    size_t headerSize = version == 2 ? 6 : 10;
    size_t idSize = version == 2 ? 3 : 4;
    Found found;
    for (int frames = 0; frames < kMaxId3Frames; ++frames) {
        std::string header;
        if (!ReadExact(tag, headerSize, header) || header[0] == 0 || !IsFrameId(header.substr(0, idSize)))
            return; // the end, or padding
        std::string id = header.substr(0, idSize);
        std::uint64_t size = 0;
        unsigned flags = 0;
        if (version == 2) {
            size = UnsignedAt(header, 3, 3, true);
        } else if (version == 3) {
            size = Be32(header, 4);
            flags = Be16(header, 8);
        } else {
            size = Version4Size(header, plainFrames);
            flags = Be16(header, 8);
        }
        Field field = FieldOf(id);
        bool compressed = version == 3 ? (flags & 0x00C0) != 0 : version == 4 && (flags & 0x000C) != 0;
        if (field == Field::None || compressed) {
            if (!tag.Skip(size))
                return;
            continue;
        }
        std::string body;
        size_t kept = static_cast<size_t>(std::min<std::uint64_t>(size, kMaxId3FrameRead));
        if (!ReadExact(tag, kept, body) || !tag.Skip(size - kept))
            return;
        std::string_view data = body;
        if (version == 3 && (flags & 0x0020) != 0)
            data.remove_prefix(std::min<size_t>(data.size(), 1)); // group id
        std::string resynced;
        if (version == 4) {
            if ((flags & 0x0040) != 0)
                data.remove_prefix(std::min<size_t>(data.size(), 1)); // group id
            if ((flags & 0x0001) != 0)
                data.remove_prefix(std::min<size_t>(data.size(), 4)); // data length indicator
            if ((flags & 0x0002) != 0 || tagUnsync) {
                resynced = Resynchronised(data);
                data = resynced;
            }
        }
        PutField(field, FrameText(data), music, found);
    }
}

bool ReadId3v2(ByteSource& source, MusicDetails& music)
{
    std::string header;
    if (!ReadExact(source, 0, kHeaderSize, header) || header.compare(0, 3, "ID3") != 0)
        return false;
    unsigned version = static_cast<unsigned char>(header[3]);
    unsigned flags = static_cast<unsigned char>(header[5]);
    if (version < 2 || version > 4 || static_cast<unsigned char>(header[4]) == 0xFF || !IsSyncsafe(header, 6))
        return false;
    std::uint64_t size = Syncsafe(header, 6);
    if (version == 2 && (flags & 0x40) != 0)
        return true; // 2.2's compression: no known scheme
    SourceStream body(source, kHeaderSize, kHeaderSize + size);
    bool unsync = (flags & 0x80) != 0;
    UnsyncStream resynced(body);
    ByteStream& tag = unsync && version < 4 ? static_cast<ByteStream&>(resynced) : body;
    if (version >= 3 && (flags & 0x40) != 0) {
        std::string extended;
        if (!ReadExact(tag, 4, extended))
            return true;
        if (version == 3) {
            if (!tag.Skip(Be32(extended, 0)))
                return true;
        } else {
            std::uint64_t extendedSize = Syncsafe(extended, 0); // counts itself
            if (extendedSize < 6 || !tag.Skip(extendedSize - 4))
                return true;
        }
    }
    ReadFrames(tag, &tag == &body ? &body : nullptr, version, unsync, music);
    return true;
}

std::wstring Id3v1Text(std::string_view field)
{
    return TrimmedText(TextFromLatin1(field));
}

void ReadId3v1(ByteSource& source, MusicDetails& music)
{
    std::uint64_t size = source.Size();
    std::string tag;
    if (size < kId3v1Size || !ReadExact(source, size - kId3v1Size, kId3v1Size, tag) || tag.compare(0, 3, "TAG") != 0)
        return;
    music.title = Id3v1Text(std::string_view(tag).substr(3, 30));
    music.artist = Id3v1Text(std::string_view(tag).substr(33, 30));
    music.album = Id3v1Text(std::string_view(tag).substr(63, 30));
    music.year = LeadingYear(Id3v1Text(std::string_view(tag).substr(93, 4)));
    // ID3v1.1: a zero before the comment's last byte makes that byte the track.
    if (tag[125] == 0 && tag[126] != 0)
        music.track = static_cast<unsigned char>(tag[126]);
    music.genre = Id3GenreName(static_cast<unsigned char>(tag[127]));
}

} // namespace

std::uint64_t Id3v2TagSize(ByteSource& source)
{
    std::string header;
    if (!ReadExact(source, 0, kHeaderSize, header) || header.compare(0, 3, "ID3") != 0 || !IsSyncsafe(header, 6))
        return 0;
    bool footer = (static_cast<unsigned char>(header[5]) & 0x10) != 0;
    return kHeaderSize + Syncsafe(header, 6) + (footer ? kHeaderSize : 0);
}

void ReadMp3Details(ByteSource& source, MusicDetails& music)
{
    if (!ReadId3v2(source, music))
        ReadId3v1(source, music);
}
