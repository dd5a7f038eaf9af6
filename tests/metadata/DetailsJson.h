// One line of JSON for what the readers read from a file, for the checks that compare it with
// what exiftool and mutagen read (non-ASCII as \u escapes of the UTF-16 units).
#pragma once

#include "FileDetails.h"

#include <cstdio>
#include <string>

inline std::string JsonText(const std::wstring& text)
{
    std::string out = "\"";
    for (wchar_t unit : text) {
        auto value = static_cast<unsigned>(unit) & 0xFFFF;
        if (value == '"' || value == '\\') {
            out += '\\';
            out += static_cast<char>(value);
        } else if (value >= 0x20 && value < 0x7F) {
            out += static_cast<char>(value);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", value);
            out += escape;
        }
    }
    return out + "\"";
}

inline const char* FormatName(DetailsFormat format)
{
    switch (format) {
    case DetailsFormat::Jpeg: return "jpeg";
    case DetailsFormat::Tiff: return "tiff";
    case DetailsFormat::Png: return "png";
    case DetailsFormat::Heif: return "heif";
    case DetailsFormat::IsoMedia: return "isomedia";
    case DetailsFormat::IsoAudio: return "isoaudio";
    case DetailsFormat::Mp3: return "mp3";
    case DetailsFormat::Flac: return "flac";
    case DetailsFormat::Ogg: return "ogg";
    case DetailsFormat::Unknown: break;
    }
    return "unknown";
}

// {"file": NAME, "format": ..., "taken": "YYYY:MM:DD HH:MM:SS.fff[Z]" or "", "make": ..., ...}
inline std::string DetailsJson(const std::wstring& name, const FileDetails& details)
{
    const PhotoDetails& photo = details.photo;
    const MusicDetails& music = details.music;
    std::string taken;
    if (photo.taken.Present()) {
        char text[40];
        std::snprintf(text, sizeof text, "%04u:%02u:%02u %02u:%02u:%02u.%03u%s", photo.taken.year, photo.taken.month,
                      photo.taken.day, photo.taken.hour, photo.taken.minute, photo.taken.second,
                      photo.taken.millisecond, photo.taken.utc ? "Z" : "");
        taken = text;
    }
    std::string line = "{\"file\": " + JsonText(name) + ", \"format\": \"" + FormatName(details.format) + "\"";
    line += ", \"taken\": \"" + taken + "\"";
    line += ", \"make\": " + JsonText(photo.make) + ", \"model\": " + JsonText(photo.model);
    line += ", \"width\": " + std::to_string(photo.width) + ", \"height\": " + std::to_string(photo.height);
    line += ", \"artist\": " + JsonText(music.artist) + ", \"albumartist\": " + JsonText(music.albumArtist);
    line += ", \"album\": " + JsonText(music.album) + ", \"title\": " + JsonText(music.title);
    line += ", \"genre\": " + JsonText(music.genre) + ", \"track\": " + std::to_string(music.track);
    line += ", \"disc\": " + std::to_string(music.disc) + ", \"year\": " + std::to_string(music.year) + "}";
    return line;
}
