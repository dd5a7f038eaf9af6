// Vorbis comments (KEY=value fields in UTF-8, keys in any letter case) as FLAC's VORBIS_COMMENT
// block and Ogg Vorbis', Opus' and FLAC's comment headers carry them, the Ogg header put together
// from the pages it spans.
#include "DetailText.h"
#include "MediaReaders.h"

#include <algorithm>
#include <vector>

namespace {

// A key longer than this is none of ours; a value longer than this is cut (kMaxDetailTextUnits).
constexpr size_t kMaxKeyBytes = 16;
constexpr size_t kMaxValueBytes = 4 * kMaxDetailTextUnits;
constexpr std::uint32_t kMaxComments = 65536;
constexpr int kMaxFlacBlocks = 1024;
// An Ogg comment header with cover art spans some dozens of pages; other streams' pages between count too.
constexpr int kMaxOggPages = 4096;

// ALBUMARTIST and DATE are the keys most programs write; some write ALBUM ARTIST or YEAR, which
// exiftool reads as AlbumArtist and Year, and these count when the usual key is missing.
enum class Field { None, Artist, AlbumArtist, AlbumArtistSpaced, Album, Title, Track, Disc, Date, Year, Genre };

Field FieldOf(std::string key)
{
    for (char& unit : key)
        if (unit >= 'a' && unit <= 'z')
            unit = static_cast<char>(unit - 'a' + 'A');
    struct Name {
        const char* key;
        Field field;
    };
    static constexpr Name kNames[] = {
        {"ARTIST", Field::Artist},     {"ALBUMARTIST", Field::AlbumArtist}, {"ALBUM", Field::Album},
        {"TITLE", Field::Title},       {"TRACKNUMBER", Field::Track},       {"DISCNUMBER", Field::Disc},
        {"DATE", Field::Date},         {"GENRE", Field::Genre},             {"ALBUM ARTIST", Field::AlbumArtistSpaced},
        {"YEAR", Field::Year},
    };
    for (const Name& name : kNames)
        if (key == name.key)
            return name.field;
    return Field::None;
}

// The values of the keys that stand in for others.
struct Fallbacks {
    std::wstring albumArtist;
    std::uint32_t year = 0;
};

// The first value of each field wins, as players show it.
void PutField(Field field, const std::wstring& text, MusicDetails& music, Fallbacks& fallbacks)
{
    auto first = [&](std::wstring& target) {
        if (target.empty())
            target = text;
    };
    switch (field) {
    case Field::Artist: first(music.artist); break;
    case Field::AlbumArtist: first(music.albumArtist); break;
    case Field::Album: first(music.album); break;
    case Field::Title: first(music.title); break;
    case Field::Genre: first(music.genre); break;
    case Field::Track:
        if (music.track == 0)
            music.track = LeadingNumber(text);
        break;
    case Field::Disc:
        if (music.disc == 0)
            music.disc = LeadingNumber(text);
        break;
    case Field::Date:
        if (music.year == 0)
            music.year = LeadingYear(text);
        break;
    case Field::AlbumArtistSpaced: first(fallbacks.albumArtist); break;
    case Field::Year:
        if (fallbacks.year == 0)
            fallbacks.year = LeadingYear(text);
        break;
    case Field::None: break;
    }
}

// The packet of one number of an Ogg file's first logical stream, read across its pages; the
// packets before it are passed over by their lacing values without being read.
class OggPacketStream : public ByteStream {
public:
    OggPacketStream(ByteSource& source, int packet) : source_(source), target_(packet) {}

    size_t Read(char* out, size_t size) override { return Move(out, size); }
    bool Skip(std::uint64_t count) override
    {
        while (count > 0) {
            size_t now = Move(nullptr, static_cast<size_t>(std::min<std::uint64_t>(count, 1 << 30)));
            if (now == 0)
                return false;
            count -= now;
        }
        return true;
    }

private:
    // Copies (out given) or passes over up to size bytes of the target packet.
    size_t Move(char* out, size_t size)
    {
        size_t count = 0;
        while (count < size && Settle()) {
            size_t now = std::min<size_t>(size - count, segments_[segment_] - used_);
            std::uint64_t at = dataPos_ + used_;
            if (at >= source_.Size()) { // a page claiming more than the file holds
                done_ = true;
                break;
            }
            now = static_cast<size_t>(std::min<std::uint64_t>(now, source_.Size() - at));
            if (out != nullptr) {
                size_t got = source_.Read(at, out + count, now);
                if (got != now) {
                    done_ = true;
                    return count + got;
                }
            }
            used_ += now;
            count += now;
        }
        return count;
    }

    // Moves to a segment of the target packet with bytes left; false at the packet's end.
    bool Settle()
    {
        while (!done_) {
            if (segment_ < segments_.size() && used_ < segments_[segment_] && packet_ == target_)
                return true;
            if (segment_ < segments_.size()) {
                bool ends = segments_[segment_] < 255;
                dataPos_ += segments_[segment_];
                ++segment_;
                used_ = 0;
                if (ends && ++packet_ > target_)
                    done_ = true;
                continue;
            }
            if (!NextPage())
                done_ = true;
        }
        return false;
    }

    bool NextPage()
    {
        std::uint64_t size = source_.Size();
        while (pages_ < kMaxOggPages && pagePos_ + 27 <= size) {
            ++pages_;
            std::string header;
            if (!ReadExact(source_, pagePos_, 27, header) || header.compare(0, 4, "OggS") != 0 || header[4] != 0)
                return false;
            size_t count = static_cast<unsigned char>(header[26]);
            std::string lacing;
            if (!ReadExact(source_, pagePos_ + 27, count, lacing))
                return false;
            std::uint32_t serial = Le32(header, 14);
            std::uint64_t data = pagePos_ + 27 + count;
            std::uint64_t total = 0;
            for (char value : lacing)
                total += static_cast<unsigned char>(value);
            pagePos_ = data + total;
            if (pages_ == 1)
                serial_ = serial;
            else if (serial != serial_)
                continue; // a page of another stream
            segments_.clear();
            for (char value : lacing)
                segments_.push_back(static_cast<std::uint8_t>(value));
            segment_ = 0;
            used_ = 0;
            dataPos_ = data;
            return true;
        }
        return false;
    }

    ByteSource& source_;
    int target_;
    int packet_ = 0;
    bool done_ = false;
    int pages_ = 0;
    std::uint64_t pagePos_ = 0;
    std::uint32_t serial_ = 0;
    std::vector<std::uint8_t> segments_;
    size_t segment_ = 0;
    size_t used_ = 0;            // bytes of the current segment already moved
    std::uint64_t dataPos_ = 0;  // where the current segment's bytes begin
};

void ReadFields(ByteStream& stream, MusicDetails& music, Fallbacks& fallbacks)
{
    std::string field;
    if (!ReadExact(stream, 4, field) || !stream.Skip(Le32(field, 0)) || !ReadExact(stream, 4, field))
        return; // the vendor string, then the count
    std::uint32_t count = std::min(Le32(field, 0), kMaxComments);
    for (std::uint32_t k = 0; k < count; ++k) {
        if (!ReadExact(stream, 4, field))
            return;
        std::uint64_t length = Le32(field, 0);
        std::string head;
        size_t headSize = static_cast<size_t>(std::min<std::uint64_t>(length, kMaxKeyBytes + 1));
        if (!ReadExact(stream, headSize, head))
            return;
        size_t equals = head.find('=');
        Field which = equals == std::string::npos ? Field::None : FieldOf(head.substr(0, equals));
        std::uint64_t rest = length - headSize;
        if (which != Field::None) {
            std::string value = head.substr(equals + 1);
            size_t more = static_cast<size_t>(std::min<std::uint64_t>(rest, kMaxValueBytes));
            std::string tail;
            if (!ReadExact(stream, more, tail))
                return;
            value += tail;
            rest -= more;
            PutField(which, TextFromUtf8(value), music, fallbacks);
        }
        if (!stream.Skip(rest))
            return;
    }
}

} // namespace

void ReadVorbisComments(ByteStream& stream, MusicDetails& music)
{
    Fallbacks fallbacks;
    ReadFields(stream, music, fallbacks);
    if (music.albumArtist.empty())
        music.albumArtist = fallbacks.albumArtist;
    if (music.year == 0)
        music.year = fallbacks.year;
}

void ReadFlacDetails(ByteSource& source, MusicDetails& music)
{
    std::uint64_t pos = Id3v2TagSize(source);
    std::string bytes;
    if (!ReadExact(source, pos, 4, bytes) || bytes != "fLaC")
        return;
    pos += 4;
    for (int blocks = 0; blocks < kMaxFlacBlocks; ++blocks) {
        if (!ReadExact(source, pos, 4, bytes))
            return;
        auto flags = static_cast<unsigned char>(bytes[0]);
        std::uint64_t length = UnsignedAt(bytes, 1, 3, true);
        unsigned type = flags & 0x7F;
        if (type == 4) {
            SourceStream block(source, pos + 4, pos + 4 + length);
            ReadVorbisComments(block, music);
            return;
        }
        if (type == 127 || (flags & 0x80) != 0)
            return; // invalid, or the last block
        pos += 4 + length;
    }
}

void ReadOggDetails(ByteSource& source, MusicDetails& music)
{
    std::string identification;
    OggPacketStream first(source, 0);
    if (!ReadExact(first, 8, identification))
        return;
    OggPacketStream comments(source, 1);
    std::string signature;
    if (identification.compare(0, 5, "\x7F" "FLAC") == 0) {
        // FLAC in Ogg (flac --ogg): the second packet is the VORBIS_COMMENT block, its header first.
        if (ReadExact(comments, 4, signature) && (signature[0] & 0x7F) == 4)
            ReadVorbisComments(comments, music);
        return;
    }
    std::string expected;
    if (identification.compare(0, 7, "\x01vorbis") == 0)
        expected = "\x03vorbis";
    else if (identification == "OpusHead")
        expected = "OpusTags";
    else
        return;
    if (ReadExact(comments, expected.size(), signature) && signature == expected)
        ReadVorbisComments(comments, music);
}
