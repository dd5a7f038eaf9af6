// The reader a file needs, picked by its first bytes.
#include "DetailsReader.h"

#include "MediaReaders.h"
#include "PhotoReaders.h"

namespace {

bool Begins(std::string_view bytes, std::string_view prefix)
{
    return bytes.size() >= prefix.size() && bytes.compare(0, prefix.size(), prefix) == 0;
}

bool IsMpegAudioFrame(std::string_view bytes)
{
    if (bytes.size() < 4)
        return false;
    auto first = static_cast<unsigned char>(bytes[0]);
    auto second = static_cast<unsigned char>(bytes[1]);
    auto third = static_cast<unsigned char>(bytes[2]);
    // The 11-bit sync, a known version and layer, a bitrate index other than "bad".
    return first == 0xFF && (second & 0xE0) == 0xE0 && (second & 0x18) != 0x08 && (second & 0x06) != 0 &&
           (third & 0xF0) != 0xF0;
}

bool IsMp3Extension(std::wstring_view extension)
{
    if (extension.size() != 3)
        return false;
    auto lower = [](wchar_t unit) { return unit >= L'A' && unit <= L'Z' ? static_cast<wchar_t>(unit - L'A' + L'a') : unit; };
    return lower(extension[0]) == L'm' && lower(extension[1]) == L'p' && extension[2] == L'3';
}

} // namespace

DetailsFormat SniffDetailsFormat(std::string_view first)
{
    if (Begins(first, "\xFF\xD8\xFF"))
        return DetailsFormat::Jpeg;
    for (std::string_view tiff : {std::string_view("II*\0", 4), std::string_view("MM\0*", 4), std::string_view("IIRO"),
                                  std::string_view("IIRS"), std::string_view("MMOR"), std::string_view("IIU\0", 4)})
        if (Begins(first, tiff))
            return DetailsFormat::Tiff;
    if (Begins(first, "\x89PNG\r\n\x1A\n"))
        return DetailsFormat::Png;
    if (first.size() >= 8) {
        std::string_view type = first.substr(4, 4);
        // QuickTime movies may begin with any of these, as exiftool knows them.
        for (std::string_view first : {"ftyp", "moov", "mdat", "wide", "free", "skip", "pnot", "junk"})
            if (type == first)
                return DetailsFormat::IsoMedia;
    }
    if (Begins(first, "ID3") || IsMpegAudioFrame(first))
        return DetailsFormat::Mp3;
    if (Begins(first, "fLaC"))
        return DetailsFormat::Flac;
    if (Begins(first, "OggS"))
        return DetailsFormat::Ogg;
    return DetailsFormat::Unknown;
}

FileDetails ReadFileDetailsFrom(ByteSource& source, unsigned wanted, std::wstring_view extension)
{
    FileDetails details;
    details.format = SniffDetailsFormat(ReadBytes(source, 0, kSniffBytes));
    if (details.format == DetailsFormat::Mp3) {
        std::string behind;
        if (ReadExact(source, Id3v2TagSize(source), 4, behind) && behind == "fLaC")
            details.format = DetailsFormat::Flac;
    } else if (details.format == DetailsFormat::Unknown && IsMp3Extension(extension)) {
        details.format = DetailsFormat::Mp3;
    }
    bool photo = (wanted & kWantPhotoDetails) != 0;
    bool music = (wanted & kWantMusicDetails) != 0;
    switch (details.format) {
    case DetailsFormat::Jpeg:
        if (photo)
            ReadJpegDetails(source, details.photo);
        break;
    case DetailsFormat::Tiff:
        if (photo)
            ReadTiffDetails(source, 0, source.Size(), TiffRole::File, details.photo);
        break;
    case DetailsFormat::Png:
        if (photo)
            ReadPngDetails(source, details.photo);
        break;
    case DetailsFormat::Heif:
    case DetailsFormat::IsoMedia:
    case DetailsFormat::IsoAudio:
        if (photo || music)
            ReadIsoMediaDetails(source, wanted, details);
        break;
    case DetailsFormat::Mp3:
        if (music)
            ReadMp3Details(source, details.music);
        break;
    case DetailsFormat::Flac:
        if (music)
            ReadFlacDetails(source, details.music);
        break;
    case DetailsFormat::Ogg:
        if (music)
            ReadOggDetails(source, details.music);
        break;
    case DetailsFormat::Unknown: break;
    }
    return details;
}
