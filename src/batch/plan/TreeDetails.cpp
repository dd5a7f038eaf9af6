// What the files of a walked tree hold, read once and kept compactly beside it.
#include "TreeDetails.h"

#include "FileTimeTicks.h"
#include "ReadFileDetails.h"
#include "ReplaceValues.h"

#include <windows.h>

#include <algorithm>
#include <optional>

namespace {

// How often the reading tells its progress and asks whether it is still wanted, in files.
constexpr size_t kFilesPerReport = 32;

std::uint16_t Clipped(std::uint32_t value)
{
    return static_cast<std::uint16_t>(std::min<std::uint32_t>(value, 0xFFFF));
}

// What an entry has of the kinds: a folder holds no photo or music values, but has a creation time.
unsigned KindsFor(const PlannedEntry& entry, unsigned kinds)
{
    return entry.isFolder ? kinds & kCreatedKind : kinds;
}

// "\\?\C:\Photos" and ".\Trip\a.jpg": "\\?\C:\Photos\Trip\a.jpg".
std::wstring FullPath(const RunPlan& tree, const PlannedEntry& entry)
{
    std::wstring path = tree.root;
    if (!path.empty() && path.back() == L'\\')
        path.pop_back();
    tree.names->AppendFolderPath(entry.folder, path);
    return path.append(1, L'\\').append(tree.Name(entry));
}

// A recorded time in one number: year, month, day, hour, minute, second, millisecond and the UTC
// mark, each in bits of its own. 0 for no time, and for one whose parts do not fit (which no
// calendar shows either).
struct TimeField {
    unsigned bits;
    unsigned shift;
};
constexpr TimeField kYear{16, 37}, kMonth{4, 33}, kDay{5, 28}, kHour{5, 23}, kMinute{6, 17}, kSecond{6, 11},
    kMillisecond{10, 1}, kUtc{1, 0};

std::uint64_t PackedTime(const DetailTime& time)
{
    if (!time.Present())
        return 0;
    std::uint64_t packed = 0;
    bool fits = true;
    auto put = [&](TimeField field, unsigned value) {
        fits = fits && value < (1u << field.bits);
        packed |= static_cast<std::uint64_t>(value & ((1u << field.bits) - 1)) << field.shift;
    };
    put(kYear, time.year);
    put(kMonth, time.month);
    put(kDay, time.day);
    put(kHour, time.hour);
    put(kMinute, time.minute);
    put(kSecond, time.second);
    put(kMillisecond, time.millisecond);
    put(kUtc, time.utc ? 1 : 0);
    return fits ? packed : 0;
}

DetailTime UnpackedTime(std::uint64_t packed)
{
    auto get = [packed](TimeField field) {
        return static_cast<unsigned>((packed >> field.shift) & ((1u << field.bits) - 1));
    };
    DetailTime time;
    time.year = static_cast<std::uint16_t>(get(kYear));
    time.month = static_cast<std::uint8_t>(get(kMonth));
    time.day = static_cast<std::uint8_t>(get(kDay));
    time.hour = static_cast<std::uint8_t>(get(kHour));
    time.minute = static_cast<std::uint8_t>(get(kMinute));
    time.second = static_cast<std::uint8_t>(get(kSecond));
    time.millisecond = static_cast<std::uint16_t>(get(kMillisecond));
    time.utc = get(kUtc) != 0;
    return time;
}

// An entry's place among the photos or the songs, 0 for none, as photoOf_ and musicOf_ keep it.
template <typename Record>
std::uint32_t Placed(std::vector<Record>& records, const Record& record)
{
    records.push_back(record);
    return static_cast<std::uint32_t>(records.size());
}

} // namespace

TreeDetails::TreeDetails(const RunPlan& tree) : read_(tree.entries.size(), 0) {}

bool TreeDetails::HasRead(const RunPlan& tree, const std::vector<std::int32_t>& entries, unsigned kinds) const
{
    return std::all_of(entries.begin(), entries.end(), [&](std::int32_t i) {
        size_t at = static_cast<size_t>(i);
        unsigned wanted = KindsFor(tree.entries[at], kinds);
        return (read_[at] & wanted) == wanted;
    });
}

bool TreeDetails::Read(const RunPlan& tree, const std::vector<std::int32_t>& entries, unsigned kinds,
                       const PlanCancelled& cancelled, const DetailsProgress& progress)
{
    size_t total = 0;
    size_t done = 0;
    for (std::int32_t i : entries) {
        size_t at = static_cast<size_t>(i);
        unsigned wanted = KindsFor(tree.entries[at], kinds);
        if (wanted == 0)
            continue;
        ++total;
        done += (read_[at] & wanted) == wanted ? 1 : 0;
    }
    if (done == total)
        return true;
    // Each kind's room is made the first time it is asked for.
    if ((kinds & kPhotoKind) && photoOf_.empty())
        photoOf_.assign(read_.size(), 0);
    if ((kinds & kMusicKind) && musicOf_.empty())
        musicOf_.assign(read_.size(), 0);
    if ((kinds & kCreatedKind) && created_.empty())
        created_.assign(read_.size(), 0);
    if (progress)
        progress(done, total);
    for (std::int32_t i : entries) {
        size_t at = static_cast<size_t>(i);
        const PlannedEntry& entry = tree.entries[at];
        unsigned missing = KindsFor(entry, kinds) & ~static_cast<unsigned>(read_[at]);
        if (missing == 0)
            continue;
        std::wstring path = FullPath(tree, entry);
        unsigned wanted = ((missing & kPhotoKind) ? kWantPhotoDetails : 0u) | ((missing & kMusicKind) ? kWantMusicDetails : 0u);
        if (wanted != 0) {
            FileDetails details = ReadFileDetails(path, wanted);
            const PhotoDetails& photo = details.photo;
            // A photo without a value is kept too: the modified date may stand in for its date taken.
            if ((missing & kPhotoKind) && (IsPhotoFormat(details.format) || !(photo == PhotoDetails()))) {
                Photo kept;
                kept.taken = PackedTime(photo.taken);
                kept.make = texts_.Add(photo.make);
                kept.model = texts_.Add(photo.model);
                kept.width = photo.width;
                kept.height = photo.height;
                photoOf_[at] = Placed(photos_, kept);
            }
            const MusicDetails& music = details.music;
            if ((missing & kMusicKind) && !(music == MusicDetails())) {
                Music kept;
                kept.artist = texts_.Add(music.artist);
                kept.albumArtist = texts_.Add(music.albumArtist);
                kept.album = texts_.Add(music.album);
                kept.title = texts_.Add(music.title);
                kept.genre = texts_.Add(music.genre);
                kept.track = Clipped(music.track);
                kept.disc = Clipped(music.disc);
                kept.year = Clipped(music.year);
                musicOf_[at] = Placed(music_, kept);
            }
        }
        if (missing & kCreatedKind) {
            WIN32_FILE_ATTRIBUTE_DATA data{};
            if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
                created_[at] = Ticks(data.ftCreationTime);
        }
        read_[at] = static_cast<std::uint8_t>(read_[at] | missing);
        if (++done % kFilesPerReport == 0) {
            if (cancelled && cancelled())
                return false;
            if (progress)
                progress(done, total);
        }
    }
    // The values are kept for the dialog's life: no room beyond them.
    photos_.shrink_to_fit();
    music_.shrink_to_fit();
    if (progress)
        progress(total, total);
    return true;
}

const TreeDetails::Photo* TreeDetails::PhotoOf(size_t i) const
{
    return i < photoOf_.size() && photoOf_[i] != 0 ? &photos_[photoOf_[i] - 1] : nullptr;
}

const TreeDetails::Music* TreeDetails::MusicOf(size_t i) const
{
    return i < musicOf_.size() && musicOf_[i] != 0 ? &music_[musicOf_[i] - 1] : nullptr;
}

void TreeDetails::Fill(size_t i, unsigned kinds, EntryValues& values, LocalClock& clock) const
{
    if (i >= read_.size())
        return;
    unsigned read = read_[i] & kinds;
    if (read & kPhotoKind) {
        if (const Photo* photo = PhotoOf(i)) {
            values.photo = true;
            values.taken = clock.Shown(UnpackedTime(photo->taken));
            texts_.Get(photo->make, values.make);
            texts_.Get(photo->model, values.camera);
            if (photo->width != 0 && photo->height != 0) {
                values.width = photo->width;
                values.height = photo->height;
            }
        }
    }
    if (read & kMusicKind) {
        if (const Music* music = MusicOf(i)) {
            texts_.Get(music->artist, values.artist);
            texts_.Get(music->albumArtist, values.albumArtist);
            texts_.Get(music->album, values.album);
            texts_.Get(music->title, values.title);
            texts_.Get(music->genre, values.genre);
            values.track = music->track;
            values.disc = music->disc;
            values.year = music->year;
        }
    }
    if ((read & kCreatedKind) && created_[i] != 0)
        values.created = clock.Local(FromTicks(created_[i]));
}

bool TreeDetails::IsPhoto(size_t i) const
{
    return PhotoOf(i) != nullptr;
}

std::uint64_t TreeDetails::TakenKey(size_t i, LocalClock& clock) const
{
    const Photo* photo = PhotoOf(i);
    if (!photo)
        return 0;
    // A video's UTC time and a camera's clock compare as they are shown.
    return ShownTicks(clock.Shown(UnpackedTime(photo->taken)));
}

std::uint64_t TreeDetails::CreatedKey(size_t i) const
{
    return i < created_.size() ? created_[i] : 0;
}

DetailTexts::TextId TreeDetails::AlbumId(size_t i) const
{
    const Music* music = MusicOf(i);
    return music ? music->album : DetailTexts::kEmpty;
}

std::wstring TreeDetails::Text(DetailTexts::TextId id) const
{
    return texts_.Get(id);
}

std::uint32_t TreeDetails::Disc(size_t i) const
{
    const Music* music = MusicOf(i);
    return music ? music->disc : 0;
}

std::uint32_t TreeDetails::Track(size_t i) const
{
    const Music* music = MusicOf(i);
    return music ? music->track : 0;
}

size_t TreeDetails::Bytes() const
{
    return read_.capacity() * sizeof(std::uint8_t) + photoOf_.capacity() * sizeof(std::uint32_t) +
           musicOf_.capacity() * sizeof(std::uint32_t) + created_.capacity() * sizeof(std::uint64_t) +
           photos_.capacity() * sizeof(Photo) + music_.capacity() * sizeof(Music) + texts_.Bytes();
}
