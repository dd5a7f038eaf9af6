// How a run asks and tells whoever started it: the app answers with its windows, tests and the
// command line with plain functions or nothing. Every hook may be left empty.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct UndoReport;

struct RunHooks {
    // Before a known folder is numbered again: true to go on where the last run left off.
    std::function<bool()> askResume;
    // A run over the tree (folder, the \\?\ form of its root) was cut short, by a crash or a power
    // cut, and left its names half changed: true to take back what it did before this run plans,
    // as Undo would. Asked once; with no hook the run is taken back, as a command line wants.
    std::function<bool(const std::wstring& folder)> askTakeBackUnfinished;
    // That run was taken back only in part: what was not, and where its record is kept when part
    // of it could not be read (else empty: the record stays for Undo).
    std::function<void(const std::wstring& folder, const UndoReport& report, const std::wstring& keptAs)> tookBackInPart;
    // The walk of the tree begins and ends (the "Calculating..." box stands meanwhile).
    std::function<void()> collectionBegins;
    std::function<void()> collectionEnds;
    // Called now and then while the run collects or waits, so that windows stay painted.
    std::function<void()> keepAlive;
    // Another run holds the tree and this one waits for it to end; told once.
    std::function<void()> waitingForOtherRun;
    // The plan is about to be applied: from now on the run changes the disk.
    std::function<void()> changesBegin;
    // The share of the entries done, 1 to 100, each time it grows while the changes are made.
    std::function<void(std::int32_t percent)> progress;
    // After each change made to the disk (a move, each of the two through a temporary name, a
    // read-only mark cleared, a tag written, the index and the history file written, the journal
    // ended): false stops the run there as a crash would, with no clean-up and its journal as it
    // is then (begun, unless the last change was its end). Only tests stop a run.
    std::function<bool()> afterChange;
    // After each entry the walk of the tree reads. Only tests use it: one that throws
    // std::bad_alloc there fails an allocation at the entry it chooses, as a tree too big would.
    std::function<void()> afterEntry;
};
