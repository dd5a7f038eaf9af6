// The bytes of a run's journal: a header, what the run will overwrite and every step in the order
// it is made, each in a record of its own that carries a checksum, read with bounds.
#pragma once

#include "OperationMode.h"
#include "RunSteps.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

constexpr char kJournalMagic[] = "NMROJRNL"; // the file's first 8 bytes
constexpr size_t kJournalMagicSize = 8;
// Version 2 frames every record with its length and a CRC-32; version 1, which had neither, is
// still read (all or nothing), so that a run journaled before stays undoable.
constexpr std::uint32_t kJournalVersion = 2;
constexpr size_t kJournalTagSize = 128;
// The longest text stored: a \\?\UNC\ prefix and a path of the longest length Windows allows.
constexpr std::uint32_t kMaxJournalTextUnits = 32767 + 8;

enum class JournalState : std::uint8_t {
    Begun = 1, // written before the first change; a run that never ended leaves it so
    Ended = 2, // completed with what every step did
};

struct JournalHeader {
    JournalState state = JournalState::Begun;
    OperationMode mode = ModeLower;
    std::uint32_t entryCount = 0;
    std::uint32_t stepCount = 0;
    FILETIME time{};   // when the run began, UTC
    std::wstring root; // the chosen folder, \\?\ form
};

// A copy of something outside the tree that the run changes: a memory file or a registry value.
enum class KeptState : std::uint8_t {
    NotKept = 0, // not part of this run
    Absent = 1,  // did not exist before the run
    Present = 2, // bytes holds it as it was
};
struct KeptBytes {
    KeptState state = KeptState::NotKept;
    DWORD type = 0; // the registry value's type
    std::string bytes;
};

struct JournalMemory {
    std::wstring historyFile; // where the history file was, when kept
    KeptBytes history;
    std::wstring indexFile;
    KeptBytes index;
    KeptBytes favoritesOrder;
};

enum class TagChange : std::uint8_t {
    None = 0,     // no tag step, or the file could not be read before the run
    Replaced = 1, // the 128 bytes at tagOffset were a tag; oldTag holds them
    Appended = 2, // the tag went to the end; tagOffset is the length before it
};

// An entry that has steps, as it was before the run.
struct JournalEntry {
    std::int32_t planIndex = 0;
    bool isFolder = false;
    std::uint64_t size = 0; // as the walk found it
    FILETIME lastWrite{};
    TagChange tag = TagChange::None;
    std::uint64_t tagOffset = 0;
    std::string oldTag; // Replaced: the bytes the tag replaces
    std::string newTag; // Replaced, Appended: the bytes the run writes
    // A tagged file after an ended run: the state Undo compares against.
    bool afterKnown = false;
    std::uint64_t sizeAfter = 0;
    FILETIME lastWriteAfter{};
};

struct EntryAfterRun {
    std::int32_t planIndex = 0;
    std::uint64_t size = 0;
    FILETIME lastWrite{};
};

// The records of a journal whose header is sound but which could not be read (their checksum
// fails, or the file ends inside them). What they held is left out of RunJournalData, so Undo
// never acts on it.
struct JournalDamage {
    bool memoryUnreadable = false;     // the memory files and the Favorites order are not restored
    std::uint32_t entriesUnreadable = 0; // none of their steps is read
    std::uint32_t stepsUnreadable = 0;
    // How the run ended cannot be read: it is taken as a run that never ended, whose steps the
    // disk decides.
    bool endUnreadable = false;
    // The file ends inside a record: every record from there on is counted above.
    bool cutShort = false;
    bool Any() const { return memoryUnreadable || entriesUnreadable || stepsUnreadable || endUnreadable || cutShort; }
};

struct RunJournalData {
    JournalHeader header;
    JournalMemory memory;
    std::vector<JournalEntry> entries; // rising plan index
    std::vector<RunStep> steps;        // RunStep::entry is the plan index
    std::vector<StepResult> results;   // Ended: one per step; Begun: none
    JournalDamage damage;
};

// What the journal keeps of a file whose tag the run writes.
struct KeptTag {
    TagChange change = TagChange::None;
    std::uint64_t offset = 0;
    std::string oldTag; // Replaced
    std::string newTag;
};
using KeptTags = std::unordered_map<std::int32_t, KeptTag>; // by plan index

// Receives the journal's bytes in pieces, in order; false stops the encoding. A journal of
// 100,000 steps is written as it is made, never held whole.
using JournalSink = std::function<bool(std::string_view bytes)>;

// The journal of a run about to begin: one entry for each plan entry that has steps (its size and
// last-write time from the walk, its tag from tags), then the steps. False when the steps cannot be
// written down so that Undo could trust them: a step without a plan entry, a path outside the
// root, a move that would leave its folder.
bool EncodeJournal(const JournalHeader& header, const JournalMemory& memory, const RunPlan& plan,
                   const RunSteps& steps, const KeptTags& tags, const JournalSink& sink);
bool EncodeJournal(const JournalHeader& header, const JournalMemory& memory, const RunPlan& plan,
                   const RunSteps& steps, const KeptTags& tags, std::string& bytes);

// A begun journal ends with its empty end record, kBegunJournalTail zero bytes (a length of 0 and
// the CRC-32 of nothing, which is 0). Ending it puts EncodeJournalEnd's record in their place and
// marks the header record Ended (MarkJournalEnded).
constexpr size_t kBegunJournalTail = 8;
// The state byte: the first byte of the header record's payload, after the magic, the version
// and the record's length.
constexpr size_t kJournalStateOffset = kJournalMagicSize + 4 + 4;
// The most bytes the magic, the version and the header record can take: the fixed fields and the
// longest root.
constexpr size_t kMaxJournalHeaderSize =
    kJournalStateOffset + 1 + 1 + 4 + 4 + 8 + 4 + 2 * size_t{kMaxJournalTextUnits} + 4;
// The end record: the outcome of every step and the state of each tagged file after the run;
// false when results do not match steps.
bool EncodeJournalEnd(const RunSteps& steps, const std::vector<StepResult>& results,
                      const std::vector<EntryAfterRun>& after, std::string& bytes);
// head: the first bytes of a journal, holding at least its whole header record. When they are
// those of a begun journal of this version with stepCount steps, marks the header Ended (its
// checksum with it) and returns true.
bool MarkJournalEnded(std::string& head, size_t stepCount);

// Reads the header alone, which is all the File menu needs; false when it cannot be trusted.
bool DecodeJournalHeader(std::string_view bytes, JournalHeader& header);
// Reads a whole journal. False when its header cannot be read (or, for version 1, when anything
// is damaged). Otherwise true, with every record that could not be read left out and counted in
// journal.damage.
bool DecodeJournal(std::string_view bytes, RunJournalData& journal);

// The position of the entry with the plan index in entries (which rise by plan index), or
// entries.size() when there is none.
size_t FindJournalEntry(const std::vector<JournalEntry>& entries, std::int32_t planIndex);
