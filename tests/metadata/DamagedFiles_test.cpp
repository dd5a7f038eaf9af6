// Damaged and hostile files as tables: what each reader still reads, that it stops, and that it
// reads neither past the bytes nor what it passes over (cover art, media data). The fuzz targets
// try the random damage; these fix the behaviours. Beside them, the odd forms a tag may take that
// the tools do not write (a frame twice, compressed frames, BOM-less UTF-16 of either order) or that
// decide between what exiftool and mutagen read.
#include "Crc32.h"
#include "DetailText.h"
#include "DetailsReader.h"
#include "MediaReaders.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// A source over bytes that fails the test on a read past them and counts what was read.
class CountingSource : public ByteSource {
public:
    explicit CountingSource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    size_t Read(std::uint64_t offset, char* out, size_t size) override
    {
        EXPECT_LE(offset + size, bytes_.size()) << "a read past the end";
        read += size;
        for (size_t i = 0; i < size && offset + i < bytes_.size(); ++i)
            out[i] = bytes_[offset + i];
        return offset >= bytes_.size() ? 0 : std::min<size_t>(size, bytes_.size() - offset);
    }
    std::uint64_t read = 0;

private:
    std::string bytes_;
};

std::string Be(std::uint64_t value, int width)
{
    std::string out;
    for (int i = width - 1; i >= 0; --i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

std::string Le(std::uint64_t value, int width)
{
    std::string out;
    for (int i = 0; i < width; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

// --- TIFF ---------------------------------------------------------------------------------------

struct TiffEntry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    std::uint32_t value; // the value itself, or the offset of the values
};

// An IFD at its offset: the count, the entries, the next IFD's offset.
std::string Ifd(const std::vector<TiffEntry>& entries, std::uint32_t next, std::uint16_t count = 0)
{
    std::string out = Le(count != 0 ? count : entries.size(), 2);
    for (const TiffEntry& entry : entries)
        out += Le(entry.tag, 2) + Le(entry.type, 2) + Le(entry.count, 4) + Le(entry.value, 4);
    return out + Le(next, 4);
}

// A little-endian TIFF: the header (IFD0 at 8), then pieces placed at their offsets.
std::string Tiff(const std::vector<std::pair<std::uint32_t, std::string>>& pieces)
{
    std::string out = std::string("II*\0", 4) + Le(8, 4);
    for (const auto& [offset, bytes] : pieces) {
        if (out.size() < offset + bytes.size())
            out.resize(offset + bytes.size(), '\0');
        out.replace(offset, bytes.size(), bytes);
    }
    return out;
}

const std::string kDate = std::string("2026:07:14 09:31:05", 19) + '\0';

struct TiffCase {
    const char* what;
    std::string bytes;
    bool taken;
    std::wstring make;
    std::uint32_t width;
};

TEST(DamagedTiff, EachGivesWhatCanBeReadAndStops)
{
    const std::string make = std::string("Canon\0", 6);
    const std::vector<TiffCase> cases = {
        {"IFD0 whose next IFD is itself, Exif IFD pointing at IFD0",
         Tiff({{8, Ifd({{0x010F, 2, 6, 100}, {0x00FE, 4, 1, 1}, {0x8769, 4, 1, 8}}, 8)}, {100, make}}), false, L"Canon", 0},
        {"Exif IFD outside the file",
         Tiff({{8, Ifd({{0x010F, 2, 6, 100}, {0x8769, 4, 1, 0x7FFFFFF0}}, 0)}, {100, make}}), false, L"Canon", 0},
        {"Make's values outside the file", Tiff({{8, Ifd({{0x010F, 2, 6, 0xFFFFFFF0}}, 0)}}), false, L"", 0},
        {"Make claiming 4 GiB is cut at the text limit, the bytes there read",
         Tiff({{8, Ifd({{0x010F, 2, 0xFFFFFFFF, 100}}, 0)}, {100, make}}), false, L"Canon", 0},
        {"an entry count of 65535 in a file of a few entries",
         Tiff({{8, Ifd({{0x0100, 3, 1, 640}, {0x0101, 3, 1, 480}, {0x8769, 4, 1, 60}}, 0, 0xFFFF)},
               {60, Ifd({{0x9003, 2, 20, 200}}, 0)}, {200, kDate}}),
         true, L"", 640},
        {"the date's offset at the very end", Tiff({{8, Ifd({{0x8769, 4, 1, 40}}, 0)}, {40, Ifd({{0x9003, 2, 20, 70}}, 0)}, {70, kDate.substr(0, 10)}}),
         false, L"", 0},
        {"a date of the wrong type", Tiff({{8, Ifd({{0x8769, 4, 1, 40}}, 0)}, {40, Ifd({{0x9003, 3, 10, 70}}, 0)}, {70, kDate}}),
         false, L"", 0},
        {"an IFD0 offset past the end", std::string("II*\0", 4) + Le(0x10000, 4), false, L"", 0},
        {"a header cut short", std::string("II*\0\x08", 5), false, L"", 0},
    };
    for (const TiffCase& c : cases) {
        CountingSource source(c.bytes);
        FileDetails details = ReadFileDetailsFrom(source, kWantAllDetails, L"tif");
        EXPECT_EQ(details.format, DetailsFormat::Tiff) << c.what;
        EXPECT_EQ(details.photo.taken.Present(), c.taken) << c.what;
        EXPECT_EQ(details.photo.make, c.make) << c.what;
        EXPECT_EQ(details.photo.width, c.width) << c.what;
        EXPECT_LE(source.read, c.bytes.size() + 4096) << c.what;
    }
}

TEST(Tiff, AValueInBothIfdsIsTakenFromTheOneItBelongsIn)
{
    // Make belongs in IFD0, the date in the EXIF IFD; exiftool reads whichever it meets last.
    std::string bytes = Tiff({{8, Ifd({{0x010F, 2, 5, 120}, {0x9003, 2, 20, 200}, {0x8769, 4, 1, 60}}, 0)},
                              {60, Ifd({{0x010F, 2, 6, 100}, {0x9003, 2, 20, 240}}, 0)}, {100, std::string("Other\0", 6)},
                              {120, std::string("Main\0", 5)}, {200, kDate},
                              {240, std::string("2002:02:02 02:02:02", 19) + '\0'}});
    CountingSource source(bytes);
    PhotoDetails photo = ReadFileDetailsFrom(source, kWantPhotoDetails, L"tif").photo;
    EXPECT_EQ(photo.make, L"Main");
    EXPECT_EQ(photo.taken.year, 2002);
}

TEST(DamagedTiff, AReducedIfd0TakesTheLargestFullSizeImageOfItsSubIfds)
{
    // As DNG and NEF keep them: a preview in IFD0, the raw image and another preview in SubIFDs.
    std::string bytes = Tiff({{8, Ifd({{0x00FE, 4, 1, 1}, {0x0100, 3, 1, 160}, {0x0101, 3, 1, 120}, {0x014A, 4, 2, 100}}, 0)},
                              {100, Le(120, 4) + Le(180, 4)},
                              {120, Ifd({{0x00FE, 4, 1, 1}, {0x0100, 4, 1, 9000}, {0x0101, 4, 1, 9000}}, 0)},
                              {180, Ifd({{0x00FE, 4, 1, 0}, {0x0100, 4, 1, 6048}, {0x0101, 4, 1, 4024}}, 0)}});
    CountingSource source(bytes);
    FileDetails details = ReadFileDetailsFrom(source, kWantPhotoDetails, L"dng");
    EXPECT_EQ(details.photo.width, 6048u);
    EXPECT_EQ(details.photo.height, 4024u);
}

// --- JPEG ---------------------------------------------------------------------------------------

std::string Segment(unsigned marker, const std::string& body)
{
    return std::string(1, '\xFF') + static_cast<char>(marker) + Be(body.size() + 2, 2) + body;
}

TEST(DamagedJpeg, ReadingStopsAtTheImageData)
{
    std::string exif = std::string("Exif\0\0", 6) + Tiff({{8, Ifd({{0x010F, 2, 4, 0x4E494B}}, 0)}});
    std::string head = "\xFF\xD8" + Segment(0xE1, exif) + Segment(0xC0, std::string("\x08\x00\x06\x00\x08\x03", 6)) +
                       Segment(0xDA, std::string(10, '\0'));
    CountingSource source(head + std::string(1 << 20, '\x55'));
    FileDetails details = ReadFileDetailsFrom(source, kWantPhotoDetails, L"jpg");
    EXPECT_EQ(details.photo.make, L"KIN");
    EXPECT_EQ(details.photo.width, 8u);
    EXPECT_EQ(details.photo.height, 6u);
    EXPECT_LT(source.read, head.size() + 64) << "the image data was read";
}

TEST(DamagedJpeg, SegmentLengthsThatLieEndTheWalk)
{
    const std::vector<std::string> cases = {
        std::string("\xFF\xD8\xFF\xE1\x00\x01", 6), // a length below its own two bytes
        "\xFF\xD8\xFF\xE1\xFF\xFF" + std::string(100, '\0'), // past the end
        "\xFF\xD8" + std::string(5000, '\xFF'), // fill bytes only
        std::string("\xFF\xD8\xFF\xC0\x00\x04\x08\x00", 8), // a frame header cut short
    };
    for (const std::string& bytes : cases) {
        CountingSource source(bytes);
        FileDetails details = ReadFileDetailsFrom(source, kWantPhotoDetails, L"jpg");
        EXPECT_EQ(details.photo, PhotoDetails{});
    }
}

TEST(DamagedJpeg, TheFirstSegmentHoldingExifGivesTheValues)
{
    std::string broken = std::string("Exif\0\0", 6) + "XX*\0" + Le(8, 4);
    std::string good = std::string("Exif\0\0", 6) + Tiff({{8, Ifd({{0x010F, 2, 4, 0x4E494B}}, 0)}});
    std::string other = std::string("Exif\0\0", 6) + Tiff({{8, Ifd({{0x010F, 2, 4, 0x585858}}, 0)}});
    std::string bytes = "\xFF\xD8" + Segment(0xE1, "http://ns.adobe.com/xap/1.0/\0<x/>") + Segment(0xE1, broken) +
                        Segment(0xE1, good) + Segment(0xE1, other) + Segment(0xDA, "");
    CountingSource source(bytes);
    EXPECT_EQ(ReadFileDetailsFrom(source, kWantPhotoDetails, L"jpg").photo.make, L"KIN");
}

// --- PNG ------------------------------------------------------------------------------------------

std::string Chunk(const char* type, const std::string& body, std::uint32_t crcChange = 0)
{
    std::string typed = type + body;
    return Be(body.size(), 4) + typed + Be(Crc32(typed) ^ crcChange, 4);
}

TEST(DamagedPng, ExifAfterTheImageDataIsFoundByItsCrcAmongTheLastBytes)
{
    const std::string exif = Tiff({{8, Ifd({{0x010F, 2, 4, 0x4E494B}}, 0)}});
    const std::string head = "\x89PNG\r\n\x1A\n" + Chunk("IHDR", Be(8, 4) + Be(6, 4) + std::string(5, '\0'));
    const std::string image = Chunk("IDAT", std::string(40000, '\x55')) + Chunk("IDAT", std::string(40000, '\x55'));
    const std::string text = Chunk("tEXt", "date:create\0" "2026-12-09T09:36:48+00:00");
    const std::string end = Chunk("IEND", "");
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring make;
    };
    const std::vector<Case> cases = {
        {"after it, as ImageMagick writes", head + image + Chunk("eXIf", exif) + text + end, L"KIN"},
        {"after it with JPEG's Exif header", head + image + Chunk("eXIf", std::string("Exif\0\0", 6) + exif) + end, L"KIN"},
        {"after it with a wrong CRC", head + image + Chunk("eXIf", exif, 1) + end, L""},
        {"after it, its length past the end", head + image + Be(0xFFFFFFF0, 4) + "eXIf" + exif, L""},
        {"after it, 200 KiB of text after it", head + image + Chunk("eXIf", exif) + Chunk("zTXt", std::string(200000, 't')) + end, L""},
        {"\"eXIf\" inside the image data", head + Chunk("IDAT", "eXIf" + exif) + end, L""},
        {"after 100 KiB that look like eXIf chunks of 64 KiB: their CRCs are not all checked",
         head + Chunk("IDAT", [] {
             std::string fake;
             while (fake.size() < 100 * 1024)
                 fake += Be(65536, 4) + "eXIf";
             return fake;
         }()) + Chunk("eXIf", exif) + end,
         L""},
    };
    for (const Case& c : cases) {
        CountingSource source(c.bytes);
        EXPECT_EQ(ReadFileDetailsFrom(source, kWantPhotoDetails, L"png").photo.make, c.make) << c.what;
        EXPECT_LE(source.read, 128 * 1024 + 1024u) << c.what;
    }
}

// --- ISO media ----------------------------------------------------------------------------------

std::string Box(const char* type, const std::string& body)
{
    return Be(body.size() + 8, 4) + type + body;
}

std::string MovieHeader(int version, std::uint64_t created)
{
    std::string body = version == 1 ? std::string("\x01\0\0\0", 4) + Be(created, 8) + Be(created, 8) + Be(1000, 4) + Be(0, 8)
                                    : std::string(4, '\0') + Be(created, 4) + Be(created, 4) + Be(1000, 4) + Be(0, 4);
    return Box("mvhd", body + std::string(80, '\0'));
}

TEST(IsoMedia, AQuickTimeMovieIsKnownByAnyOfItsFirstAtoms)
{
    for (const char* first : {"skip", "pnot", "junk"}) {
        std::string bytes = Box(first, std::string(8, '\0')) + Box("moov", MovieHeader(0, 3867000000u));
        CountingSource source(bytes);
        FileDetails details = ReadFileDetailsFrom(source, kWantPhotoDetails, L"mov");
        EXPECT_EQ(details.format, DetailsFormat::IsoMedia) << first;
        EXPECT_EQ(details.photo.taken, TimeFrom1904(3867000000u)) << first;
    }
}

TEST(DamagedIsoMedia, MediaDataIsPassedOverByItsHeader)
{
    // A 64-bit size for mdat, then moov: the reader jumps over mdat without reading it.
    std::string media = Be(1, 4) + "mdat" + Be(16 + (1 << 20), 8) + std::string(1 << 20, '\0');
    std::string bytes = Box("ftyp", "isom\0\0\0\0isom") + media + Box("moov", MovieHeader(1, 3867000000ull));
    CountingSource source(bytes);
    FileDetails details = ReadFileDetailsFrom(source, kWantAllDetails, L"mp4");
    EXPECT_EQ(details.photo.taken, TimeFrom1904(3867000000ull));
    EXPECT_TRUE(details.photo.taken.utc);
    EXPECT_LT(source.read, 4096u);
}

TEST(DamagedIsoMedia, BoxesThatLieGiveNoValue)
{
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"moov claiming more than the file, its mvhd cut", Be(0x7FFFFFFF, 4) + "moov" + MovieHeader(0, 3867000000u).substr(0, 14)},
        {"a box smaller than its header", Box("ftyp", "isom") + Be(4, 4) + "moov" + MovieHeader(0, 3867000000u)},
        {"mvhd cut short", Box("moov", MovieHeader(0, 3867000000u).substr(0, 14))},
        {"a creation time of 0", Box("moov", MovieHeader(0, 0))},
        {"a creation time after the year 9999", Box("moov", MovieHeader(1, 0xFFFFFFFFFFFFull))},
        {"a 64-bit size below its header", Box("ftyp", "isom") + Be(1, 4) + "moov" + Be(8, 8) + MovieHeader(0, 5)},
    };
    for (const auto& [what, bytes] : cases) {
        CountingSource source(bytes);
        FileDetails details = ReadFileDetailsFrom(source, kWantAllDetails, L"mp4");
        EXPECT_FALSE(details.photo.taken.Present()) << what;
    }
}

TEST(IsoMediaTags, ANumericGenreAndTheNumbersOfTrackAndDiscAreRead)
{
    auto item = [](const char* type, std::uint32_t dataType, const std::string& value) {
        return Box(type, Box("data", Be(dataType, 4) + Be(0, 4) + value));
    };
    std::string ilst = Box("ilst", item("gnre", 0, Be(18, 2)) + item("trkn", 0, Be(0, 2) + Be(7, 2) + Be(9, 2) + Be(0, 2)) +
                                       item("disk", 0, Be(0, 2) + Be(2, 2) + Be(3, 2)) +
                                       item("\xA9" "ART", 2, std::string("\0A\0\xE9", 4)) + item("covr", 13, std::string(5000, '\xFF')));
    std::string meta = Box("meta", std::string(4, '\0') + Box("hdlr", std::string(25, '\0')) + ilst);
    std::string bytes = Box("ftyp", "M4A \0\0\0\0") + Box("moov", Box("udta", meta));
    CountingSource source(bytes);
    FileDetails details = ReadFileDetailsFrom(source, kWantMusicDetails, L"m4a");
    EXPECT_EQ(details.format, DetailsFormat::IsoAudio); // music, not a movie, by its brand
    EXPECT_EQ(details.music.genre, L"Rock"); // ID3v1 genre 17, stored plus one
    EXPECT_EQ(details.music.track, 7u);
    EXPECT_EQ(details.music.disc, 2u);
    EXPECT_EQ(details.music.artist, L"A\u00E9");
    EXPECT_LT(source.read, bytes.size() - 4000) << "the cover art was read";
}

// --- ID3 ------------------------------------------------------------------------------------------

std::string Syncsafe(std::uint32_t size)
{
    return {static_cast<char>((size >> 21) & 0x7F), static_cast<char>((size >> 14) & 0x7F),
            static_cast<char>((size >> 7) & 0x7F), static_cast<char>(size & 0x7F)};
}

std::string Frame24(const char* id, const std::string& body, bool syncsafeSize = true)
{
    return std::string(id, 4) + (syncsafeSize ? Syncsafe(static_cast<std::uint32_t>(body.size())) : Be(body.size(), 4)) +
           std::string(2, '\0') + body;
}

std::string Tag24(const std::string& frames, std::uint32_t claimed = 0)
{
    return std::string("ID3\x04\0\0", 6) + Syncsafe(claimed != 0 ? claimed : static_cast<std::uint32_t>(frames.size())) + frames;
}

TEST(DamagedId3, PicturesAreSkippedUnreadAndLiesEndTheTag)
{
    std::string picture = Frame24("APIC", std::string(300 * 1024, '\xFF'));
    std::string title = Frame24("TIT2", std::string("\x03Song", 5));
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring title;
    };
    const std::vector<Case> cases = {
        {"cover art before the title", Tag24(picture + title), L"Song"},
        {"a frame claiming 256 MiB after the title", Tag24(title + "TALB" + Syncsafe(0x0FFFFFFF) + std::string("\0\0\x03X", 4)), L"Song"},
        {"a tag claiming more than the file", Tag24(title, 0x0FFFFFFF), L"Song"},
        {"a frame cut by the tag's end", Tag24(title).substr(0, 16), L""},
        {"a 2.4 frame with a plain size of 200 (not syncsafe)", Tag24(Frame24("TIT2", "\x03" + std::string(199, 'a'), false)), std::wstring(199, L'a')},
        {"a 2.4 frame with a plain size of 300, which reads as syncsafe 172 and leads nowhere",
         Tag24(Frame24("TIT2", "\x03" + std::string(299, 'a'), false) + Frame24("TALB", "\x03X")), std::wstring(299, L'a')},
        {"a text of 100 KiB is cut at the text limit", Tag24(Frame24("TIT2", "\x03" + std::string(100 * 1024, 'b'))), std::wstring(kMaxDetailTextUnits, L'b')},
        {"an unknown text encoding", Tag24(Frame24("TIT2", std::string("\x07Song", 5))), L""},
    };
    for (const Case& c : cases) {
        CountingSource source(c.bytes);
        FileDetails details = ReadFileDetailsFrom(source, kWantMusicDetails, L"mp3");
        EXPECT_EQ(details.music.title, c.title) << c.what;
        EXPECT_LT(source.read, 64 * 1024u) << c.what;
    }
}

TEST(DamagedId3, Id3v1IsReadOnlyWithoutAnId3v2Tag)
{
    std::string v1 = "TAG" + std::string("Title", 5) + std::string(25, '\0') + std::string("Artist", 6) + std::string(24, ' ') +
                     std::string(30, '\0') + "1987" + std::string(28, '\0') + '\0' + '\x05' + '\x11';
    ASSERT_EQ(v1.size(), 128u);
    CountingSource alone(std::string(1000, '\0') + v1);
    MusicDetails music = ReadFileDetailsFrom(alone, kWantMusicDetails, L"MP3").music;
    EXPECT_EQ(music.title, L"Title");
    EXPECT_EQ(music.artist, L"Artist");
    EXPECT_EQ(music.year, 1987u);
    EXPECT_EQ(music.track, 5u);
    EXPECT_EQ(music.genre, L"Rock");
    CountingSource both(Tag24(Frame24("TPE1", std::string("\x03Other", 6))) + v1);
    EXPECT_EQ(ReadFileDetailsFrom(both, kWantMusicDetails, L"mp3").music.title, L"");
}

std::string Frame23(const char* id, const std::string& body, std::uint16_t flags = 0)
{
    return std::string(id, 4) + Be(body.size(), 4) + Be(flags, 2) + body;
}

std::string Tag23(const std::string& frames)
{
    return std::string("ID3\x03\0\0", 6) + Syncsafe(static_cast<std::uint32_t>(frames.size())) + frames;
}

TEST(Id3Frames, TheFirstOfAFrameCountsTdrcBeforeTyerAndUtf16WithoutBomInEitherOrder)
{
    struct Case {
        const char* what;
        std::string tag;
        std::wstring title;
        std::uint32_t year;
    };
    const std::vector<Case> cases = {
        {"TYER before TDRC", Tag24(Frame24("TYER", std::string("\0" "2012", 5)) + Frame24("TDRC", std::string("\0" "2013-05", 8))), L"", 2013},
        {"TDRC that holds no year, then TYER", Tag24(Frame24("TDRC", std::string("\0?", 2)) + Frame24("TYER", std::string("\0" "2012", 5))), L"", 2012},
        {"UTF-16 without a BOM, little-endian", Tag23(Frame23("TIT2", std::string("\x01T\0\xF6\0", 5))), L"T\u00F6", 0},
        {"UTF-16 without a BOM, no zero byte", Tag23(Frame23("TIT2", std::string("\x01\x99\x51\x1F\x77", 5))), L"\u5199\u771F", 0},
        {"an encrypted 2.3 frame is passed over", Tag23(Frame23("TIT2", std::string("\x80\0Crypt", 7), 0x0040) + Frame23("TIT2", std::string("\0Plain", 6))), L"Plain", 0},
        {"a 2.3 frame's group byte", Tag23(Frame23("TIT2", std::string("\x07\0Grouped", 9), 0x0020)), L"Grouped", 0},
        {"a compressed 2.4 frame is passed over",
         Tag24(std::string("TIT2", 4) + Syncsafe(16) + Be(0x0009, 2) + Syncsafe(4) + std::string("x\x9C\x63\x8E\xCA\x2C\x00\x00\x02\x60\x01\x37", 12) +
               Frame24("TYER", std::string("\0" "2002", 5))),
         L"", 2002},
    };
    for (const Case& c : cases) {
        CountingSource source(c.tag);
        MusicDetails music = ReadFileDetailsFrom(source, kWantMusicDetails, L"mp3").music;
        EXPECT_EQ(music.title, c.title) << c.what;
        EXPECT_EQ(music.year, c.year) << c.what;
    }
}

TEST(Id3Genres, ReferencesBecomeNames)
{
    const std::vector<std::pair<std::wstring, std::wstring>> cases = {
        {L"(13)", L"Pop"}, {L"13", L"Pop"}, {L"(13)Indie", L"Pop"}, {L"(17)(13)", L"Rock"}, {L"RX", L"Remix"},
        {L"(CR)", L"Cover"}, {L"((Foo)", L"(Foo)"}, {L"Indie", L"Indie"}, {L"(191)", L"Psybient"}, {L"(192)", L""},
        {L"(13", L"(13"}, {L"1234", L"1234"},
    };
    for (const auto& [text, genre] : cases)
        EXPECT_EQ(Id3GenreText(text), genre) << std::string(text.begin(), text.end());
}

// --- Ogg and FLAC -----------------------------------------------------------------------------------

TEST(DamagedVorbis, CommentsThatLieEndTheList)
{
    auto comments = [](const std::vector<std::string>& fields, std::uint32_t count) {
        std::string out = Le(3, 4) + "abc" + Le(count, 4);
        for (const std::string& field : fields)
            out += Le(field.size(), 4) + field;
        return out;
    };
    auto flac = [](const std::string& block) { return "fLaC" + std::string(1, '\x84') + Be(block.size(), 3) + block; };
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring artist;
    };
    const std::vector<Case> cases = {
        {"keys in any case, the first value wins", flac(comments({"aRtIsT=One", "ARTIST=Two"}, 2)), L"One"},
        {"a count of 4 billion", flac(comments({"ARTIST=One"}, 0xFFFFFFFF)), L"One"},
        {"a field claiming 4 GiB before the artist", flac(Le(3, 4) + "abc" + Le(2, 4) + Le(0xFFFFFFFF, 4) + "ARTIST=One"), L""},
        {"invalid UTF-8", flac(comments({"ARTIST=A\xC3\x28\xF0\x9F"}, 1)), L"A\uFFFD(\uFFFD"},
        {"a field without '='", flac(comments({"ARTIST", "ARTIST=Two"}, 2)), L"Two"},
        {"a vendor string of 4 GiB", flac(Le(0xFFFFFFFF, 4) + "ARTIST=One"), L""},
    };
    for (const Case& c : cases) {
        CountingSource source(c.bytes);
        EXPECT_EQ(ReadFileDetailsFrom(source, kWantMusicDetails, L"flac").music.artist, c.artist) << c.what;
    }
}

TEST(VorbisComments, AlbumArtistAndYearStandInForMissingAlbumartistAndDate)
{
    struct Case {
        std::vector<std::string> fields;
        std::wstring albumArtist;
        std::uint32_t year;
    };
    const std::vector<Case> cases = {
        {{"Album Artist=Spaced", "year=1987"}, L"Spaced", 1987},
        {{"ALBUM ARTIST=Spaced", "ALBUMARTIST=Joined", "YEAR=1987", "DATE=2001-05-01"}, L"Joined", 2001},
        {{"ALBUMARTIST=Joined", "ALBUM ARTIST=Spaced", "DATE=2001", "YEAR=1987"}, L"Joined", 2001},
        {{"ALBUM_ARTIST=Other", "YEAR=87"}, L"", 0},
    };
    for (const Case& c : cases) {
        std::string bytes = Le(3, 4) + "abc" + Le(c.fields.size(), 4);
        for (const std::string& field : c.fields)
            bytes += Le(field.size(), 4) + field;
        MemoryByteSource source(bytes);
        SourceStream stream(source, 0, bytes.size());
        MusicDetails music;
        ReadVorbisComments(stream, music);
        EXPECT_EQ(music.albumArtist, c.albumArtist) << c.fields.front();
        EXPECT_EQ(music.year, c.year) << c.fields.front();
    }
}

// --- Texts and times --------------------------------------------------------------------------------

TEST(DetailText, Utf8BadSequencesBecomeOneReplacementEach)
{
    const std::vector<std::pair<std::string, std::wstring>> cases = {
        {"\xC3\xA4", L"\u00E4"},
        {"\xF0\x9F\x8E\xB5", L"\xD83C\xDFB5"},
        {"\xC0\xAF", L"\uFFFD\uFFFD"},          // overlong: a bad lead, then a lone continuation
        {"\xED\xA0\x80", L"\uFFFD"},            // a surrogate
        {"\xE2\x82", L"\uFFFD"},                // cut short
        {"a\x80z", L"a\uFFFDz"},
        {"\xF4\x90\x80\x80", L"\uFFFD"},        // past U+10FFFF
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(TextFromUtf8(bytes), text);
    EXPECT_EQ(TextFromUtf16(std::string("\x00\xD8\x41\x00", 4), false), L"\uFFFDA"); // a lone surrogate
}

TEST(DetailText, Latin1IsCodePage1252AndExifTextsAreUtf8OrElseLatin1)
{
    EXPECT_EQ(TextFromLatin1("\x80\x93\x81\xE9\xFF"), L"\u20AC\u201C\u0081\u00E9\u00FF");
    const std::vector<std::pair<std::string, std::wstring>> cases = {
        {"M\xC3\xBCller", L"M\u00FCller"},          // UTF-8, as exiftool writes
        {"M\xFCller", L"M\u00FCller"},                // Latin-1, as older cameras write
        {"\xEF\xBF\xBD", L"\uFFFD"},                // a replacement character written as such
        {"\xE5\x86\x99\x96", L"\u00E5\u2020\u2122\u2013"}, // UTF-8 cut short: all of it Latin-1
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(TextFromUtf8OrLatin1(bytes), text) << bytes;
}

// "YYYY-MM-DD HH:MM:SS.fff", or "" for no time.
std::string TimeText(const DetailTime& time)
{
    if (!time.Present())
        return "";
    char text[40];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", time.year, time.month, time.day, time.hour,
                  time.minute, time.second, time.millisecond);
    return text;
}

TEST(DetailText, ExifTimesAsExiftoolReadsThemAndNoneOutOfRange)
{
    struct Case {
        std::string date;
        std::string subSeconds;
        std::string time;
    };
    const std::vector<Case> cases = {
        {"2024:02:29 12:00:00", "", "2024-02-29 12:00:00.000"},
        {"2024-01-01T10:00:00", "", "2024-01-01 10:00:00.000"},
        {"2024/01/02 03.04.05", "", "2024-01-02 03:04:05.000"},
        {"2024:01:01   :  :  ", "5", "2024-01-01 00:00:00.000"}, // a time not known
        {"2024:01:01 10:00:00.25", "7", "2024-01-01 10:00:00.250"}, // the date's own fraction first
        {"2024:01:01 10:00:00", "7", "2024-01-01 10:00:00.700"},
        {"2023:02:29 12:00:00", "", ""},
        {"0000:00:00 00:00:00", "", ""},
        {"    :  :     :  :  ", "", ""},
        {"2024:13:01 00:00:00", "", ""},
        {"2024:01:01 24:00:00", "", ""},
        {"2024:01:01 10:00", "", ""}, // cut short
        {"2024:01:01", "", ""},
        {"24:01:01 10:00:00", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TimeText(ExifTime(c.date, c.subSeconds)), c.time) << c.date << " / " << c.subSeconds;
}

TEST(DetailText, MovieTimesCountFrom1904)
{
    DetailTime first = TimeFrom1904(1);
    EXPECT_EQ(first.year, 1904);
    EXPECT_EQ(first.month, 1);
    EXPECT_EQ(first.day, 1);
    EXPECT_EQ(first.second, 1);
    DetailTime leap = TimeFrom1904(3792009600ull); // 2024-02-29 00:00:00 UTC
    EXPECT_EQ(leap.year, 2024);
    EXPECT_EQ(leap.month, 2);
    EXPECT_EQ(leap.day, 29);
    DetailTime wide = TimeFrom1904(0xFFFFFFFFull + 1); // past what 32 bits hold: 2040-02-06 06:28:16
    EXPECT_EQ(wide.year, 2040);
    EXPECT_EQ(wide.month, 2);
    EXPECT_EQ(wide.day, 6);
    EXPECT_EQ(wide.hour, 6);
    EXPECT_EQ(wide.minute, 28);
    EXPECT_EQ(wide.second, 16);
}

} // namespace
