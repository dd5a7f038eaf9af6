// What the files of a walked tree hold for Find and Replace's tokens and order (date taken,
// camera, music tags, creation time), read once per walk on the planning thread and kept beside
// the tree, indexed by its entries: 64 bytes an entry, each text once in a shared pool.
#pragma once

#include "RunPlanner.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
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

    // What the orders compare, 0 when the entry has no such value.
    std::uint64_t TakenKey(size_t i, LocalClock& clock) const;
    std::uint64_t CreatedKey(size_t i) const;
    std::wstring_view Album(size_t i) const;
    std::uint32_t Disc(size_t i) const;
    std::uint32_t Track(size_t i) const;

    // The memory the values take beyond the tree.
    size_t Bytes() const;

    struct Stored;

private:
    std::uint32_t Interned(const std::wstring& text);
    std::wstring_view Text(std::uint32_t id) const { return texts_[id]; }

    std::vector<Stored> stored_;
    // Camera models, artists and albums repeat from file to file: each kept once. Entry 0 is "".
    std::deque<std::wstring> texts_{std::wstring()};
    std::unordered_map<std::wstring_view, std::uint32_t> ids_;
};

// The record of one entry: what TreeDetails keeps of it.
struct TreeDetails::Stored {
    std::uint64_t created = 0; // file time ticks; 0: not known
    std::uint16_t takenYear = 0;
    std::uint8_t takenMonth = 0, takenDay = 0, takenHour = 0, takenMinute = 0, takenSecond = 0;
    bool takenUtc = false;
    std::uint16_t takenMillisecond = 0;
    std::uint16_t track = 0, disc = 0, year = 0;
    std::uint32_t make = 0, model = 0, artist = 0, albumArtist = 0, album = 0, title = 0, genre = 0;
    std::uint32_t width = 0, height = 0;
    std::uint8_t read = 0; // the DetailKinds read
};
