// What Nomaro reads from photos, videos and music files: plain values, each empty or zero when the
// file does not hold it, small enough to keep one per entry of a large tree.
#pragma once

#include <cstdint>
#include <string>

// The longest text kept from a tag, in UTF-16 units: longer values are cut there (names hold at
// most 255 units, so nothing a name can use is lost).
constexpr size_t kMaxDetailTextUnits = 1024;

// A date and time as the file records it: a photo's EXIF time is the camera's local clock (no
// zone); a video's movie header time is UTC (utc set), which the caller shows in local time.
struct DetailTime {
    std::uint16_t year = 0; // 0: no time
    std::uint8_t month = 0;  // 1-12
    std::uint8_t day = 0;    // 1-31
    std::uint8_t hour = 0;   // 0-23
    std::uint8_t minute = 0; // 0-59
    std::uint8_t second = 0; // 0-59 (60 for a leap second as recorded)
    std::uint16_t millisecond = 0;
    bool utc = false;

    bool Present() const { return year != 0; }
    bool operator==(const DetailTime& other) const
    {
        return year == other.year && month == other.month && day == other.day && hour == other.hour &&
               minute == other.minute && second == other.second && millisecond == other.millisecond &&
               utc == other.utc;
    }
};

// A photo's (or a video's) values. width and height are the main image's pixel size as stored
// (not turned by its Orientation): from the image's own header where the format has one (JPEG
// SOF, PNG IHDR, HEIF ispe of the primary item, TIFF ImageWidth/ImageLength of the full-size
// image; not RW2's IFD0, which is Panasonic's own table), else from EXIF PixelXDimension and
// PixelYDimension. Checked against exiftool's ImageWidth and ImageHeight (for DNG, of the IFD it
// lists as not reduced).
struct PhotoDetails {
    DetailTime taken; // EXIF DateTimeOriginal with SubSecTimeOriginal; a video's creation time
    std::wstring make;
    std::wstring model;
    std::uint32_t width = 0;  // 0: not known
    std::uint32_t height = 0; // 0: not known

    bool operator==(const PhotoDetails& other) const
    {
        return taken == other.taken && make == other.make && model == other.model && width == other.width &&
               height == other.height;
    }
};

// A music file's tags. track and disc are the numbers before any "/total"; year the year of the
// recording date. Texts are UTF-16.
struct MusicDetails {
    std::wstring artist;
    std::wstring albumArtist;
    std::wstring album;
    std::wstring title;
    std::wstring genre;
    std::uint32_t track = 0; // 0: none
    std::uint32_t disc = 0;  // 0: none
    std::uint32_t year = 0;  // 0: none

    bool operator==(const MusicDetails& other) const
    {
        return artist == other.artist && albumArtist == other.albumArtist && album == other.album &&
               title == other.title && genre == other.genre && track == other.track && disc == other.disc &&
               year == other.year;
    }
};

// Which values a caller needs; a reader skips what is not asked for.
enum DetailsWanted : unsigned {
    kWantPhotoDetails = 1,
    kWantMusicDetails = 2,
    kWantAllDetails = kWantPhotoDetails | kWantMusicDetails,
};

// What kind of file the first bytes showed. IsoMedia is a movie (MP4, MOV, 3GP), IsoAudio the same
// boxes branded as music (M4A, M4B, M4P).
enum class DetailsFormat : std::uint8_t { Unknown, Jpeg, Tiff, Png, Heif, IsoMedia, Mp3, Flac, Ogg, IsoAudio };

// True for the formats of photos and videos (a date taken and a camera may be in them), whether or
// not the file holds any such value.
inline bool IsPhotoFormat(DetailsFormat format)
{
    return format == DetailsFormat::Jpeg || format == DetailsFormat::Tiff || format == DetailsFormat::Png ||
           format == DetailsFormat::Heif || format == DetailsFormat::IsoMedia;
}

struct FileDetails {
    DetailsFormat format = DetailsFormat::Unknown;
    PhotoDetails photo;
    MusicDetails music;

    bool operator==(const FileDetails& other) const
    {
        return format == other.format && photo == other.photo && music == other.music;
    }
};
