// The bytes of the history file and of the index files: length-prefixed records without header,
// 32-bit little-endian integers and UTF-16LE strings without terminator.
#pragma once

#include "PathList.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The readers keep each string with its terminator in 1024 units, so no longer string is stored.
constexpr std::uint32_t kMaxStoredStringUnits = 1023;

// Appends every whole record of a history file to store (folder path, count, index path).
// Returns true when the bytes were read to their end; a record cut short or holding an
// over-long string ends the reading there, the records before it kept.
bool ReadHistoryRecords(std::string_view bytes, PathList& store);
// Appends every whole entry of an index file to list; the result as for the history.
bool ReadIndexEntries(std::string_view bytes, PathList& list);

// The history file's bytes for the records of store, in store order. A record that a reader
// could not read back (an over-long string) is left out, so the file stays readable.
std::string EncodeHistory(const PathList& store);
// Paths handed one at a time to put: a run of 100,000 files need not list them all first.
using PathSource = std::function<void(const std::function<void(std::wstring_view path)>& put)>;
// The index file's bytes: the entries of first (when given), then those of second.
// entriesWritten receives their number; an over-long path is left out.
std::string EncodeIndex(const PathList* first, const PathList& second, std::int32_t& entriesWritten);
// The same, handed to sink in pieces as it is made, so that the index of a big run is never held
// whole; false when sink refused a piece.
using ByteSink = std::function<bool(std::string_view bytes)>;
bool EncodeIndex(const PathList* first, const PathSource& second, std::int32_t& entriesWritten, const ByteSink& sink);
// The paths of list, in list order; list must outlive the source.
PathSource PathsOf(const PathList& list);
