// A run's journal in the engine's own types: a header, what the run will overwrite and every step
// in the order it is made, written and read through the records of JournalBytes.h.
#pragma once

#include "JournalBytes.h"
#include "RunSteps.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct JournalHeader {
    JournalState state = JournalState::Begun;
    OperationMode mode = ModeLower;
    std::uint32_t entryCount = 0;
    std::uint32_t stepCount = 0;
    FILETIME time{};   // when the run began, UTC
    std::wstring root; // the chosen folder, \\?\ form
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

struct RunJournalData {
    JournalHeader header;
    JournalMemory memory;
    std::vector<JournalEntry> entries; // rising plan index
    std::vector<RunStep> steps;        // RunStep::entry is the plan index
    std::vector<StepResult> results;   // Ended: one per step; Begun: none
    JournalDamage damage;
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

// The end record: the outcome of every step and the state of each tagged file after the run;
// false when results do not match steps.
bool EncodeJournalEnd(const RunSteps& steps, const std::vector<StepResult>& results,
                      const std::vector<EntryAfterRun>& after, std::string& bytes);
// The most bytes the end record of these steps can take (EndRecordRoom): a begun journal keeps
// that room after its end, so that the end is written in place.
size_t JournalEndRoom(const RunSteps& steps);
// Reads the header alone, which is all the File menu needs; false when it cannot be trusted.
bool DecodeJournalHeader(std::string_view bytes, JournalHeader& header);
// Reads a whole journal. False when its header cannot be read (or, for version 1, when anything
// is damaged). Otherwise true, with every record that could not be read left out and counted in
// journal.damage.
bool DecodeJournal(std::string_view bytes, RunJournalData& journal);

// The position of the entry with the plan index in entries (which rise by plan index), or
// entries.size() when there is none.
size_t FindJournalEntry(const std::vector<JournalEntry>& entries, std::int32_t planIndex);
