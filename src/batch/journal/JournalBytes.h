// The bytes of a run's journal in plain types: every record written and read without Win32, so
// that the reader builds and is fuzzed on any system. JournalFormat.h gives the engine's own types.
#pragma once

#include "KeptBytes.h"
#include "OperationMode.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
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

// What the journal keeps of a file whose tag the run writes.
struct KeptTag {
    TagChange change = TagChange::None;
    std::uint64_t offset = 0;
    std::string oldTag; // Replaced
    std::string newTag;
};

// The records of a journal whose header is sound but which could not be read (their checksum
// fails, or the file ends inside them). What they held is left out of what is read, so Undo
// never acts on it.
struct JournalDamage {
    bool memoryUnreadable = false;       // the memory files and the Favorites order are not restored
    std::uint32_t entriesUnreadable = 0; // none of their steps is read
    std::uint32_t stepsUnreadable = 0;
    // How the run ended cannot be read: it is taken as a run that never ended, whose steps the
    // disk decides.
    bool endUnreadable = false;
    // The file ends inside a record: every record from there on is counted above.
    bool cutShort = false;
    bool Any() const { return memoryUnreadable || entriesUnreadable || stepsUnreadable || endUnreadable || cutShort; }
};

// A begun journal ends with its empty end record, kBegunJournalTail zero bytes (a length of 0 and
// the CRC-32 of nothing, which is 0). Ending it puts the end record in their place and marks the
// header record Ended (MarkJournalEnded).
constexpr size_t kBegunJournalTail = 8;
// A begun journal is followed by the room its end record will take, in zero bytes: the run writes
// its end in place there, so that a disk filled during the run cannot keep it from ending its
// journal. The room is read as part of the begun end; any other byte after it is damage.
// The state byte: the first byte of the header record's payload, after the magic, the version
// and the record's length.
constexpr size_t kJournalStateOffset = kJournalMagicSize + 4 + 4;
// The most bytes the magic, the version and the header record can take: the fixed fields and the
// longest root.
constexpr size_t kMaxJournalHeaderSize =
    kJournalStateOffset + 1 + 1 + 4 + 4 + 8 + 4 + 2 * size_t{kMaxJournalTextUnits} + 4;

// The records as plain values. A time is the 64-bit FILETIME count; a step's kind and a result's
// outcome are the numbers of StepKind and StepOutcome.
constexpr std::uint8_t kMoveStepKind = 2;    // StepKind::Move, the last kind
constexpr std::uint8_t kLastStepOutcome = 3; // StepOutcome::NotTried

struct HeaderRecord {
    JournalState state = JournalState::Begun;
    OperationMode mode = ModeLower;
    std::uint32_t entryCount = 0;
    std::uint32_t stepCount = 0;
    std::uint64_t time = 0; // when the run began, UTC
    std::wstring root;      // the chosen folder, \\?\ form
};

// An entry that has steps, as it was before the run.
struct EntryRecord {
    std::int32_t planIndex = 0;
    bool isFolder = false;
    std::uint64_t size = 0;
    std::uint64_t lastWrite = 0;
    TagChange tag = TagChange::None;
    std::uint64_t tagOffset = 0;
    std::string oldTag; // Replaced: the bytes the tag replaces
    std::string newTag; // Replaced, Appended: the bytes the run writes
    // A tagged file after an ended run.
    bool afterKnown = false;
    std::uint64_t sizeAfter = 0;
    std::uint64_t lastWriteAfter = 0;
};

struct StepRecord {
    std::uint8_t kind = kMoveStepKind;
    std::int32_t entry = -1; // the plan index
    std::wstring path;       // exact paths below the header's root
    std::wstring newPath;
    std::wstring temporaryPath;
    std::uint32_t attributes = 0;
};

struct ResultRecord {
    std::uint8_t outcome = kLastStepOutcome;
    std::uint32_t error = 0;
    std::wstring strandedAt; // a path in the folder of its step's path, or empty
};

// A tagged file's state after the run.
struct AfterRecord {
    std::int32_t planIndex = 0;
    std::uint64_t size = 0;
    std::uint64_t lastWrite = 0;
};

struct JournalRecords {
    HeaderRecord header;
    JournalMemory memory;
    std::vector<EntryRecord> entries; // rising plan index
    std::vector<StepRecord> steps;
    std::vector<ResultRecord> results; // Ended: one per step; Begun: none
    JournalDamage damage;
};

// The writers: each appends to out. A record goes framed with its length and its CRC-32.
void PutJournalStart(std::string& out); // the magic and the version
// Always as Begun, with the counts given: a journal is begun before the run and ended after it.
void PutHeaderRecord(std::string& out, const HeaderRecord& header);
void PutMemoryRecord(std::string& out, const JournalMemory& memory);
// True when the tag's bytes have a tag's length, as the entry record takes them.
bool TagBytesFit(const KeptTag& tag);
// The entry as the walk found it, and its tag (none: nullptr), which must fit.
void PutEntryRecord(std::string& out, std::int32_t planIndex, bool isFolder, std::uint64_t size,
                    std::uint64_t lastWrite, const KeptTag* tag);
// False, with out unchanged, for a step Undo could not trust: a path outside root, a move that
// would leave its folder, a move without a new name.
bool PutStepRecord(std::string& out, const std::wstring& root, const StepRecord& step);
// The record a begun journal ends with: empty.
void PutBegunEnd(std::string& out);
// The most bytes the end record of a run can take: per step, the longest stranded name it may
// name (stranded[i], in units; 0 for a step that can strand none), and per tagged file its state.
size_t EndRecordRoom(const std::vector<size_t>& strandedUnits, size_t taggedFiles);
// The end record of an ended run: the outcome of every step and the state of each tagged file.
// stepPath(i) gives step i's path, asked only for a result that names where its entry was
// stranded; a stranded name the journal cannot hold in that folder is left out.
void PutEndRecord(std::string& out, const std::vector<ResultRecord>& results,
                  const std::function<std::wstring(size_t step)>& stepPath, const std::vector<AfterRecord>& after);
// The same with the result of step i given by resultOf(i): the results of a million steps are not
// copied into records first.
void PutEndRecord(std::string& out, size_t stepCount, const std::function<ResultRecord(size_t step)>& resultOf,
                  const std::function<std::wstring(size_t step)>& stepPath, const std::vector<AfterRecord>& after);

// head: the first bytes of a journal, holding at least its whole header record. When they are
// those of a begun journal of this version with stepCount steps, marks the header Ended (its
// checksum with it) and returns true.
bool MarkJournalEnded(std::string& head, size_t stepCount);

// Reads the header alone; false when it cannot be trusted.
bool DecodeHeaderRecord(std::string_view bytes, HeaderRecord& header);
// Reads a whole journal. False when its header cannot be read (or, for version 1, when anything
// is damaged). Otherwise true, with every record that could not be read left out and counted in
// journal.damage.
bool DecodeJournalRecords(std::string_view bytes, JournalRecords& journal);
