// What the files of a walked tree hold, read once and kept compactly beside it.
#include "TreeDetails.h"

#include "FileTimeTicks.h"
#include "ReadFileDetails.h"
#include "ReplaceValues.h"

#include <windows.h>

#include <algorithm>

static_assert(sizeof(TreeDetails::Stored) <= 64, "a tree of a million entries keeps its values in 64 MB");

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

DetailTime TakenOf(const TreeDetails::Stored& stored)
{
    DetailTime taken;
    taken.year = stored.takenYear;
    taken.month = stored.takenMonth;
    taken.day = stored.takenDay;
    taken.hour = stored.takenHour;
    taken.minute = stored.takenMinute;
    taken.second = stored.takenSecond;
    taken.millisecond = stored.takenMillisecond;
    taken.utc = stored.takenUtc;
    return taken;
}

} // namespace

TreeDetails::TreeDetails(const RunPlan& tree) : stored_(tree.entries.size()) {}

std::uint32_t TreeDetails::Interned(const std::wstring& text)
{
    if (text.empty())
        return 0;
    auto found = ids_.find(text);
    if (found != ids_.end())
        return found->second;
    std::uint32_t id = static_cast<std::uint32_t>(texts_.size());
    texts_.push_back(text);
    ids_.emplace(texts_.back(), id);
    return id;
}

bool TreeDetails::HasRead(const RunPlan& tree, const std::vector<std::int32_t>& entries, unsigned kinds) const
{
    return std::all_of(entries.begin(), entries.end(), [&](std::int32_t i) {
        size_t at = static_cast<size_t>(i);
        unsigned wanted = KindsFor(tree.entries[at], kinds);
        return (stored_[at].read & wanted) == wanted;
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
        done += (stored_[at].read & wanted) == wanted ? 1 : 0;
    }
    if (done == total)
        return true;
    if (progress)
        progress(done, total);
    for (std::int32_t i : entries) {
        size_t at = static_cast<size_t>(i);
        const PlannedEntry& entry = tree.entries[at];
        Stored& stored = stored_[at];
        unsigned missing = KindsFor(entry, kinds) & ~static_cast<unsigned>(stored.read);
        if (missing == 0)
            continue;
        std::wstring path = FullPath(tree, entry);
        unsigned wanted = ((missing & kPhotoKind) ? kWantPhotoDetails : 0u) | ((missing & kMusicKind) ? kWantMusicDetails : 0u);
        if (wanted != 0) {
            FileDetails details = ReadFileDetails(path, wanted);
            if (missing & kPhotoKind) {
                const DetailTime& taken = details.photo.taken;
                stored.takenYear = taken.year;
                stored.takenMonth = taken.month;
                stored.takenDay = taken.day;
                stored.takenHour = taken.hour;
                stored.takenMinute = taken.minute;
                stored.takenSecond = taken.second;
                stored.takenMillisecond = taken.millisecond;
                stored.takenUtc = taken.utc;
                stored.make = Interned(details.photo.make);
                stored.model = Interned(details.photo.model);
                stored.width = details.photo.width;
                stored.height = details.photo.height;
            }
            if (missing & kMusicKind) {
                const MusicDetails& music = details.music;
                stored.artist = Interned(music.artist);
                stored.albumArtist = Interned(music.albumArtist);
                stored.album = Interned(music.album);
                stored.title = Interned(music.title);
                stored.genre = Interned(music.genre);
                stored.track = Clipped(music.track);
                stored.disc = Clipped(music.disc);
                stored.year = Clipped(music.year);
            }
        }
        if (missing & kCreatedKind) {
            WIN32_FILE_ATTRIBUTE_DATA data{};
            if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
                stored.created = Ticks(data.ftCreationTime);
        }
        stored.read = static_cast<std::uint8_t>(stored.read | missing);
        if (++done % kFilesPerReport == 0) {
            if (cancelled && cancelled())
                return false;
            if (progress)
                progress(done, total);
        }
    }
    if (progress)
        progress(total, total);
    return true;
}

void TreeDetails::Fill(size_t i, unsigned kinds, EntryValues& values, LocalClock& clock) const
{
    if (i >= stored_.size())
        return;
    const Stored& stored = stored_[i];
    unsigned read = stored.read & kinds;
    if (read & kPhotoKind) {
        values.taken = clock.Shown(TakenOf(stored));
        values.make = Text(stored.make);
        values.camera = Text(stored.model);
        if (stored.width != 0 && stored.height != 0) {
            values.width = stored.width;
            values.height = stored.height;
        }
    }
    if (read & kMusicKind) {
        values.artist = Text(stored.artist);
        values.albumArtist = Text(stored.albumArtist);
        values.album = Text(stored.album);
        values.title = Text(stored.title);
        values.genre = Text(stored.genre);
        values.track = stored.track;
        values.disc = stored.disc;
        values.year = stored.year;
    }
    if ((read & kCreatedKind) && stored.created != 0)
        values.created = clock.Local(FromTicks(stored.created));
}

std::uint64_t TreeDetails::TakenKey(size_t i, LocalClock& clock) const
{
    // A video's UTC time and a camera's clock compare as they are shown.
    std::optional<SYSTEMTIME> shown = clock.Shown(TakenOf(stored_[i]));
    FILETIME ticks{};
    return shown && SystemTimeToFileTime(&*shown, &ticks) ? Ticks(ticks) : 0;
}

std::uint64_t TreeDetails::CreatedKey(size_t i) const
{
    return stored_[i].created;
}

std::wstring_view TreeDetails::Album(size_t i) const
{
    return Text(stored_[i].album);
}

std::uint32_t TreeDetails::Disc(size_t i) const
{
    return stored_[i].disc;
}

std::uint32_t TreeDetails::Track(size_t i) const
{
    return stored_[i].track;
}

size_t TreeDetails::Bytes() const
{
    size_t bytes = stored_.capacity() * sizeof(Stored);
    for (const std::wstring& text : texts_)
        bytes += sizeof(std::wstring) + (text.capacity() + 1) * sizeof(wchar_t) + 2 * sizeof(void*) + sizeof(std::uint32_t);
    return bytes;
}
