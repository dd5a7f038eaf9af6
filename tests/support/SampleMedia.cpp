// Small photos and music files written as cameras and taggers write them.
#include "SampleMedia.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace {

std::string Le(std::uint32_t value, int width)
{
    std::string out;
    for (int i = 0; i < width; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

std::string Be(std::uint32_t value, int width)
{
    std::string out;
    for (int i = width - 1; i >= 0; --i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

// One little-endian IFD of ASCII values (and one LONG pointer), its long values after it.
std::string Ifd(const std::vector<std::pair<std::uint16_t, std::string>>& texts, std::uint32_t at,
                std::uint16_t pointerTag = 0, std::uint32_t pointer = 0)
{
    size_t count = texts.size() + (pointerTag ? 1 : 0);
    std::uint32_t data = at + 2 + static_cast<std::uint32_t>(count) * 12 + 4;
    std::string entries = Le(static_cast<std::uint32_t>(count), 2);
    std::string values;
    for (const auto& [tag, text] : texts) {
        std::string value = text + '\0';
        entries += Le(tag, 2) + Le(2, 2) + Le(static_cast<std::uint32_t>(value.size()), 4);
        if (value.size() <= 4) {
            entries += value + std::string(4 - value.size(), '\0');
        } else {
            entries += Le(data + static_cast<std::uint32_t>(values.size()), 4);
            values += value;
        }
    }
    if (pointerTag)
        entries += Le(pointerTag, 2) + Le(4, 2) + Le(1, 4) + Le(pointer, 4);
    return entries + Le(0, 4) + values;
}

} // namespace

std::string Photo(const std::string& taken, const std::string& model, unsigned width)
{
    std::vector<std::pair<std::uint16_t, std::string>> ifd0 = {{0x010F, "Canon"}, {0x0110, model}};
    std::string first = Ifd(ifd0, 8, 0x8769, 0);
    std::uint32_t exifAt = 8 + static_cast<std::uint32_t>(first.size());
    first = Ifd(ifd0, 8, 0x8769, exifAt);
    std::string exif = taken.empty() ? Ifd({}, exifAt) : Ifd({{0x9003, taken}, {0x9291, "25"}}, exifAt);
    std::string tiff = "II*" + std::string(1, '\0') + Le(8, 4) + first + exif;
    std::string app1 = "Exif" + std::string(2, '\0') + tiff;
    std::string sof = std::string("\x08", 1) + Be(480, 2) + Be(width, 2) + "\x03" + "\x01\x11\x00\x02\x11\x01\x03\x11\x01";
    return "\xFF\xD8\xFF\xE1" + Be(static_cast<std::uint32_t>(app1.size() + 2), 2) + app1 + "\xFF\xC0" +
           Be(static_cast<std::uint32_t>(sof.size() + 2), 2) + sof + "\xFF\xD9";
}

std::string Song(const std::wstring& artist, const std::wstring& title, const std::string& track,
                 const std::wstring& album, const std::string& disc)
{
    auto utf16 = [](const std::wstring& text) {
        std::string bytes = "\x01\xFF\xFE";
        for (wchar_t unit : text)
            bytes += Le(unit, 2);
        return bytes;
    };
    auto frame = [](const char* id, const std::string& body) {
        return std::string(id) + Be(static_cast<std::uint32_t>(body.size()), 4) + std::string(2, '\0') + body;
    };
    std::string frames;
    if (!artist.empty())
        frames += frame("TPE1", utf16(artist));
    if (!title.empty())
        frames += frame("TIT2", utf16(title));
    if (!album.empty())
        frames += frame("TALB", utf16(album));
    if (!track.empty())
        frames += frame("TRCK", std::string(1, '\0') + track);
    if (!disc.empty())
        frames += frame("TPOS", std::string(1, '\0') + disc);
    std::uint32_t size = static_cast<std::uint32_t>(frames.size());
    std::string syncsafe = {static_cast<char>((size >> 21) & 0x7F), static_cast<char>((size >> 14) & 0x7F),
                            static_cast<char>((size >> 7) & 0x7F), static_cast<char>(size & 0x7F)};
    return std::string("ID3\x03\0\0", 6) + syncsafe + frames + std::string("\xFF\xFB\x90\x00", 4) + std::string(4096, '\0');
}

