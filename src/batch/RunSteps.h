// The changes of one run in the order they are made, worked out before the first of them,
// so that they can be written down before anything happens and taken back afterwards.
#pragma once

#include "RunPlan.h"

#include <string>
#include <vector>

enum class StepKind : std::uint8_t {
    ClearReadOnly, // path loses FILE_ATTRIBUTE_READONLY; attributes holds the bits before
    WriteTag,      // path gets the ID3v1 tag carrying the plan entry's tagText
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

// Orders the plan's changes: entries in collection order, each folder's move before its
// contents, a file whose new name another file of the plan still holds after that file, and
// a cycle (a -> b, b -> a) broken through a temporary name in the same folder. temporaryTag
// makes the temporary names of this run unlike any other run's.
std::vector<RunStep> OrderRunSteps(const RunPlan& plan, const std::wstring& temporaryTag);

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
    std::wstring strandedAt; // a move that could not finish nor go back: where the entry is now
};
