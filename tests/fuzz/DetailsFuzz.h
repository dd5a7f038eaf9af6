// What the metadata fuzz targets share: a source that fails the run on a read past the input and
// counts what is read, and the checks every reader's values must pass.
#pragma once

#include "ByteSource.h"
#include "FileDetails.h"
#include "FuzzInput.h"

#include <cstring>
#include <functional>

// The input as a file: every read must lie inside it, and no input, however it lies, may make
// the reader read more than a bounded amount (cover art and media data are passed over).
class CheckedSource : public ByteSource {
public:
    explicit CheckedSource(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    size_t Read(std::uint64_t offset, char* out, size_t size) override
    {
        Check(offset <= bytes_.size() && size <= bytes_.size() - offset, "every read lies inside the file");
        read_ += size;
        Check(read_ <= kMostRead, "a reader reads at most 64 MiB of any file");
        std::memcpy(out, bytes_.data() + offset, size);
        return size;
    }

private:
    static constexpr std::uint64_t kMostRead = 64ull << 20;
    std::string_view bytes_;
    std::uint64_t read_ = 0;
};

inline bool WellFormed(const std::wstring& text)
{
    if (text.size() > kMaxDetailTextUnits)
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        auto unit = static_cast<std::uint32_t>(text[i]);
        if (unit > 0xFFFF)
            return false;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 == text.size() || static_cast<std::uint32_t>(text[i + 1]) < 0xDC00 ||
                static_cast<std::uint32_t>(text[i + 1]) > 0xDFFF)
                return false;
            ++i;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

inline void CheckDetails(const FileDetails& details)
{
    const PhotoDetails& photo = details.photo;
    const MusicDetails& music = details.music;
    for (const std::wstring* text : {&photo.make, &photo.model, &music.artist, &music.albumArtist, &music.album,
                                     &music.title, &music.genre})
        Check(WellFormed(*text), "texts are UTF-16 without lone surrogates, at most kMaxDetailTextUnits long");
    const DetailTime& t = photo.taken;
    if (t.Present())
        Check(t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour <= 23 &&
                  t.minute <= 59 && t.second <= 60 && t.millisecond <= 999,
              "a time is a real date and time");
    else
        Check(t == DetailTime{}, "no time is all zeros");
}

// Reads the input with read (three times: everything, photo values only, music values only) and
// checks that the values hold, that a second reading gives the same, and that asking for less
// gives the same values of what was asked for and nothing else.
inline void FuzzDetails(std::string_view input,
                        const std::function<FileDetails(ByteSource& source, unsigned wanted)>& read)
{
    CheckedSource source(input);
    FileDetails all = read(source, kWantAllDetails);
    CheckDetails(all);
    CheckedSource again(input);
    Check(read(again, kWantAllDetails) == all, "reading twice gives the same values");
    CheckedSource photoSource(input);
    FileDetails photo = read(photoSource, kWantPhotoDetails);
    Check(photo.photo == all.photo && photo.music == MusicDetails{}, "photo values alone are the same photo values");
    CheckedSource musicSource(input);
    FileDetails music = read(musicSource, kWantMusicDetails);
    Check(music.music == all.music && music.photo == PhotoDetails{}, "music values alone are the same music values");
}
