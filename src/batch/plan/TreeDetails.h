// What the files of a walked tree hold for Find and Replace's tokens and order (date taken,
// camera, music tags, creation time), read once per walk on the planning thread and kept beside
// the tree, indexed by its entries: a few bytes an entry, the values of the photos and songs
// beside, each text once.
#pragma once

#include "DetailTexts.h"
#include "RunPlanner.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class LocalClock;
struct EntryValues;

// Which values are read; a file is read for each kind once.
enum DetailKinds : unsigned {
    kPhotoKind = 1,   // date taken, make, model, picture size
    kMusicKind = 2,   // the music tags
    kCreatedKind = 4, // the file's creation time
    kAllKinds = kPhotoKind | kMusicKind | kCreatedKind,
};

// done of total files read so far, told now and then while values are read.
using DetailsProgress = std::function<void(size_t done, size_t total)>;

class TreeDetails {
public:
    TreeDetails() = default;
    // Room for the entries of tree, none read yet.
    explicit TreeDetails(const RunPlan& tree);

    // Reads the kinds not yet read for each entry among entries (indexes into the tree this was
    // made for): folders have only a creation time. False when cancelled half way; what was read
    // stays read.
    bool Read(const RunPlan& tree, const std::vector<std::int32_t>& entries, unsigned kinds,
              const PlanCancelled& cancelled, const DetailsProgress& progress);
    // True when every entry among entries has the kinds it can have read.
    bool HasRead(const RunPlan& tree, const std::vector<std::int32_t>& entries, unsigned kinds) const;

    // Adds the kinds of values the file of tree entry i holds to values (as far as they were read).
    void Fill(size_t i, unsigned kinds, EntryValues& values, LocalClock& clock) const;

    // True when the file of tree entry i is a photo or a video (as far as photo values were read),
    // whatever values it holds.
    bool IsPhoto(size_t i) const;

    // What the orders compare, 0 (or empty) when the entry has no such value.
    std::uint64_t TakenKey(size_t i, LocalClock& clock) const;
    std::uint64_t CreatedKey(size_t i) const;
    // The album, as a number the same for each file of one album; Text gives its name.
    DetailTexts::TextId AlbumId(size_t i) const;
    std::wstring Text(DetailTexts::TextId id) const;
    std::uint32_t Disc(size_t i) const;
    std::uint32_t Track(size_t i) const;

    // The memory the values take beyond the tree.
    size_t Bytes() const;

private:
    // A photo's values and a song's, kept only for photos and videos (even without a value) and for
    // the songs that hold some.
    struct Photo {
        std::uint64_t taken = 0; // DetailTime packed; 0: none
        DetailTexts::TextId make = DetailTexts::kEmpty, model = DetailTexts::kEmpty;
        std::uint32_t width = 0, height = 0;
    };
    struct Music {
        DetailTexts::TextId artist = DetailTexts::kEmpty, albumArtist = DetailTexts::kEmpty,
                            album = DetailTexts::kEmpty, title = DetailTexts::kEmpty, genre = DetailTexts::kEmpty;
        std::uint16_t track = 0, disc = 0, year = 0;
    };

    const Photo* PhotoOf(size_t i) const;
    const Music* MusicOf(size_t i) const;

    // Per entry of the tree, the kinds read; and, once a kind is asked for, the entry's place among
    // the photos or the songs (0: none, else the place + 1) or its creation time.
    std::vector<std::uint8_t> read_;
    std::vector<std::uint32_t> photoOf_;
    std::vector<std::uint32_t> musicOf_;
    std::vector<std::uint64_t> created_;
    std::vector<Photo> photos_;
    std::vector<Music> music_;
    DetailTexts texts_;
};
