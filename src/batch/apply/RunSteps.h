// The changes of one run in the order they are made, worked out before the first of them,
// so that they can be written down before anything happens and taken back afterwards.
#pragma once

#include "RarePath.h"
#include "RunPlan.h"

#include <string>
#include <vector>

enum class StepKind : std::uint8_t {
    ClearReadOnly, // path loses FILE_ATTRIBUTE_READONLY; attributes holds the bits before
    WriteTag,      // path gets the ID3v1 tag carrying the plan entry's TagText()
    Move,          // path is renamed to newPath (a temporary name when a cycle is broken)
};

struct RunStep {
    StepKind kind = StepKind::Move;
    std::int32_t entry = -1; // the plan entry the step belongs to
    std::wstring path;       // the entry's exact \\?\ path when the step is made
    std::wstring newPath;    // Move: the exact \\?\ path it goes to
    // Move that changes only letter case: the name in the same folder it passes through on a
    // volume that ignores case-only renames. Chosen now, so that it can be written down.
    std::wstring temporaryPath;
    DWORD attributes = 0;
};

// The ordered steps of a run. A run of 100,000 entries holds all of its steps at once, so a step
// the run orders keeps only which of its entry's names it goes from and to, and in which folder;
// operator[] spells it out with its exact paths. Steps given in full (read back from a journal,
// or made by hand) are kept as they are.
class RunSteps {
public:
    RunSteps() = default;
    RunSteps(std::vector<RunStep> spelt) : spelt_(std::move(spelt)) {}

    size_t size() const { return plan_ ? ordered_.size() : spelt_.size(); }
    bool empty() const { return size() == 0; }
    RunStep operator[](size_t i) const;
    // The step's kind and entry, without making its paths.
    StepKind KindOf(size_t i) const { return plan_ ? ordered_[i].kind : spelt_[i].kind; }
    std::int32_t EntryOf(size_t i) const { return plan_ ? ordered_[i].entry : spelt_[i].entry; }

private:
    friend struct StepOrder;
    friend RunSteps OrderRunSteps(const RunPlan& plan, const std::wstring& temporaryTag);
    enum class Name : std::uint8_t { None, Old, New, Temporary };
    struct Ordered {
        StepKind kind = StepKind::Move;
        Name from = Name::Old;
        Name to = Name::None;
        bool caseOnly = false;   // passes through the temporary name where case-only renames are ignored
        std::int32_t entry = -1;
        std::int32_t folder = -1; // in folders_; -1: the folder the walk found the entry in
    };
    std::wstring NameOf(const Ordered& step, Name name) const;
    std::wstring FolderOf(const Ordered& step) const;

    const RunPlan* plan_ = nullptr; // set for ordered steps; the plan outlives them
    std::wstring rootPrefix_;       // the chosen folder without a trailing backslash
    std::wstring temporaryTag_;
    std::vector<std::wstring> folders_; // folders whose path changed before their contents' steps
    std::vector<Ordered> ordered_;
    std::vector<RunStep> spelt_;
};

// Orders the plan's changes: entries in collection order, each folder's move before its
// contents, a file whose new name another file of the plan still holds after that file, and
// a cycle (a -> b, b -> a) broken through a temporary name in the same folder. temporaryTag
// makes the temporary names of this run unlike any other run's. The steps refer to plan,
// which must outlive them.
RunSteps OrderRunSteps(const RunPlan& plan, const std::wstring& temporaryTag);

// What happened to one step.
enum class StepOutcome : std::uint8_t {
    Done,
    Postponed, // the move was registered for the next restart
    Failed,
    NotTried,  // an earlier step of the same entry failed
};

struct StepResult {
    StepOutcome outcome = StepOutcome::NotTried;
    DWORD error = ERROR_SUCCESS;
    RarePath strandedAt; // a move that could not finish nor go back: where the entry is now
};
