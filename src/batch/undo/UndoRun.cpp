// Takes back a journaled run's steps, newest first, wherever the disk still shows what the run
// left, then what it changed outside the tree.
#include "UndoRun.h"

#include "AsciiCase.h"
#include "CurrentDirectoryAside.h"
#include "EntryState.h"
#include "FolderWalk.h"
#include "MoveEntry.h"
#include "PathParts.h"
#include "UndoMemory.h"
#include "UniqueHandle.h"

static constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                                             FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM |
                                             FILE_ATTRIBUTE_TEMPORARY;

namespace {

enum class Happened { Yes, No, Unknown };

// What the journal says about a step: an ended run knows, a run that never ended leaves it to the disk.
Happened StepHappened(const RunJournalData& journal, size_t step)
{
    if (journal.header.state != JournalState::Ended)
        return Happened::Unknown;
    switch (journal.results[step].outcome) {
    case StepOutcome::Done:
        return Happened::Yes;
    case StepOutcome::Postponed:
        return Happened::Unknown;
    default:
        return Happened::No;
    }
}

bool DifferOnlyInCase(const std::wstring& a, const std::wstring& b)
{
    return a != b && EqualsAsciiNoCase(a, b);
}

// The entry as the run found it or as it left it: a folder is a folder; a file has the size and
// last-write time of before the run or of after it. A run that never ended did not note the time
// after a tag; the tag step checks the bytes themselves.
bool IsEntry(const JournalEntry& entry, const EntryState& state)
{
    if (!state.exists || entry.isFolder != state.IsFolder())
        return false;
    if (entry.isFolder)
        return true;
    if (state.size == entry.size && SameFileTime(state.lastWrite, entry.lastWrite))
        return true;
    if (entry.afterKnown)
        return state.size == entry.sizeAfter && SameFileTime(state.lastWrite, entry.lastWriteAfter);
    return entry.tag != TagChange::None && state.size == entry.tagOffset + kJournalTagSize;
}

class Undoer {
public:
    Undoer(const RunJournalData& journal, const UndoTarget& target, UndoReport& report)
        : journal_(journal), target_(target), report_(report), givenUp_(journal.entries.size(), false),
          firstMove_(journal.entries.size(), journal.steps.size()), deferred_(journal.entries.size())
    {
        for (size_t i = journal_.steps.size(); i-- > 0;) {
            if (journal_.steps[i].kind == StepKind::Move)
                firstMove_[FindJournalEntry(journal_.entries, journal_.steps[i].entry)] = i;
        }
    }

    void UndoSteps()
    {
        if (journal_.header.state != JournalState::Ended)
            LeaveTemporaryNames();
        for (size_t i = journal_.steps.size(); i-- > 0;) {
            const RunStep& step = journal_.steps[i];
            size_t entry = FindJournalEntry(journal_.entries, step.entry);
            // One reason per entry: its earlier steps are not tried once a later one was skipped.
            if (givenUp_[entry])
                continue;
            switch (step.kind) {
            case StepKind::Move:
                UndoMove(i, entry);
                break;
            case StepKind::WriteTag:
                UndoTag(i, entry);
                break;
            case StepKind::ClearReadOnly:
                UndoReadOnly(i, entry);
                break;
            }
        }
        CancelRestartRenames();
    }

private:
    void Skip(size_t entry, const std::wstring& path, UndoSkip reason, DWORD error = ERROR_SUCCESS)
    {
        givenUp_[entry] = true;
        // Not found by an earlier step either: the later move that missed it says best where it was left.
        if (deferred_[entry].path.empty())
            report_.notUndone.push_back({UndoItem::Entry, path, reason, error});
        else
            report_.notUndone.push_back(deferred_[entry]);
    }

    // A run cut short while a folder's case-only move passed through its temporary name: the
    // folder goes back to its old name before anything else, since there it hides its contents,
    // whose steps have their paths under the folder's names. A file there waits for its own step.
    void LeaveTemporaryNames()
    {
        for (size_t i = 0; i < journal_.steps.size(); ++i) {
            const RunStep& step = journal_.steps[i];
            size_t entry = FindJournalEntry(journal_.entries, step.entry);
            if (step.kind == StepKind::Move && !step.temporaryPath.empty() && journal_.entries[entry].isFolder &&
                !givenUp_[entry] && IsEntry(journal_.entries[entry], ReadEntryState(step.temporaryPath)))
                Move(entry, step.temporaryPath, step.path, false, std::wstring());
        }
    }

    // Where the entry may be besides its old and new name: where a failed move stranded it, or
    // the temporary name of a case-only move that was cut short.
    std::wstring Elsewhere(size_t step) const
    {
        if (journal_.header.state == JournalState::Ended && !journal_.results[step].strandedAt.empty())
            return journal_.results[step].strandedAt.str();
        return journal_.steps[step].temporaryPath;
    }

    void UndoMove(size_t stepIndex, size_t entryIndex)
    {
        const RunStep& step = journal_.steps[stepIndex];
        const JournalEntry& entry = journal_.entries[entryIndex];
        std::wstring elsewhere = Elsewhere(stepIndex);
        if (!elsewhere.empty() && IsEntry(entry, ReadEntryState(elsewhere))) {
            deferred_[entryIndex] = UndoProblem();
            Move(entryIndex, elsewhere, step.path, false, std::wstring());
            return;
        }
        Happened happened = StepHappened(journal_, stepIndex);
        if (happened == Happened::No)
            return;

        bool caseOnly = DifferOnlyInCase(step.path, step.newPath);
        EntryState atNew = ReadEntryState(step.newPath);
        EntryState atOld = caseOnly ? atNew : ReadEntryState(step.path);
        bool onNew = IsEntry(entry, atNew);
        bool onOld = IsEntry(entry, atOld);
        if (caseOnly) {
            // One entry either way: its spelling on disk tells which name it has.
            std::wstring stored = StoredName(step.newPath);
            onNew = onNew && stored == LastComponent(step.newPath);
            onOld = onOld && stored == LastComponent(step.path);
        }

        if (onNew || onOld)
            deferred_[entryIndex] = UndoProblem();
        // A run that never ended is taken to have made the move only when the entry is at its new
        // name and not at its old one: a later step of a chain may have put another entry there.
        if (onNew && (happened == Happened::Yes || !onOld)) {
            Move(entryIndex, step.newPath, step.path, caseOnly, step.temporaryPath);
        } else if (onOld) {
            // Not renamed, or already back. A rename postponed to the restart would still be made
            // then; a run that never ended may have postponed it too.
            if (happened == Happened::Unknown) {
                postponed_.push_back(journal_.header.state == JournalState::Ended);
                restartRenames_.push_back({step.path, step.newPath});
            }
        } else if (happened == Happened::Unknown && stepIndex > firstMove_[entryIndex]) {
            // The second move of a cycle's parked entry, which a run cut short may not have made,
            // nor the first: the entry may still be at its own name, where its earlier steps look.
            deferred_[entryIndex] = {UndoItem::Entry, step.newPath, atNew.exists ? UndoSkip::Changed : UndoSkip::Missing,
                                     ERROR_SUCCESS};
        } else {
            Skip(entryIndex, step.newPath, atNew.exists ? UndoSkip::Changed : UndoSkip::Missing);
        }
    }

    // Moves an entry back to its old name, never onto another entry.
    void Move(size_t entryIndex, const std::wstring& from, const std::wstring& to, bool caseOnly,
              const std::wstring& temporary)
    {
        if (MoveFileExW(from.c_str(), to.c_str(), 0)) {
            // Some file systems (FAT32, exFAT, shares, Wine) report a case-only rename as done
            // without making it; going through a temporary name makes it stick.
            if (!caseOnly || StoredName(to) == LastComponent(to) || MoveThroughTemporary(entryIndex, from, to, temporary)) {
                ++report_.undone;
            }
            return;
        }
        DWORD error = GetLastError();
        bool taken = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
        Skip(entryIndex, from, taken ? UndoSkip::OldNameTaken : UndoSkip::Failed, taken ? ERROR_SUCCESS : error);
    }

    bool MoveThroughTemporary(size_t entryIndex, const std::wstring& from, const std::wstring& to,
                              const std::wstring& temporary)
    {
        std::wstring through = temporary;
        if (through.empty() || ReadEntryState(through).exists)
            through = JoinPath(FolderPart(to), TemporaryName(TemporaryTag(), static_cast<std::int32_t>(entryIndex)));
        ChangeWatch unwatched; // Undo is never stopped
        StepResult moved = MoveThroughTemporaryName(from, to, through, WhenRefused::GiveUp, unwatched);
        if (moved.outcome == StepOutcome::Done)
            return true;
        // Where it could not go back either, say where it is.
        Skip(entryIndex, moved.strandedAt.empty() ? from : moved.strandedAt.str(), UndoSkip::Failed, moved.error);
        return false;
    }

    // Cancels the renames still registered for the restart, in one change of the system's list.
    // One that cannot be cancelled is named: the restart will make it.
    void CancelRestartRenames()
    {
        if (restartRenames_.empty())
            return;
        DWORD error = CancelPendingRenames(target_.pendingRenamesRoot, target_.pendingRenamesKey, restartRenames_);
        for (size_t i = 0; i < restartRenames_.size(); ++i) {
            PendingRename::Found found = restartRenames_[i].found;
            bool registered = found == PendingRename::Found::Registered ||
                              (found == PendingRename::Found::Unknown && postponed_[i]);
            if (registered && error == ERROR_SUCCESS)
                ++report_.undone;
            else if (registered)
                report_.notUndone.push_back({UndoItem::Entry, restartRenames_[i].from, UndoSkip::AwaitingRestart, error});
        }
    }

    void UndoTag(size_t stepIndex, size_t entryIndex)
    {
        const RunStep& step = journal_.steps[stepIndex];
        const JournalEntry& entry = journal_.entries[entryIndex];
        Happened happened = StepHappened(journal_, stepIndex);
        if (happened == Happened::No)
            return;
        if (entry.tag == TagChange::None) {
            if (happened == Happened::Yes)
                Skip(entryIndex, step.path, UndoSkip::NotKept);
            return;
        }
        EntryState state = ReadEntryState(step.path);
        if (!state.exists || state.IsFolder()) {
            Skip(entryIndex, step.path, UndoSkip::Missing);
            return;
        }
        UniqueFile file(CreateFileW(step.path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            Skip(entryIndex, step.path, UndoSkip::Failed, GetLastError());
            return;
        }
        bool tagThere = state.size == entry.tagOffset + kJournalTagSize && EndsWithNewTag(file.get(), entry);
        bool asLeft = !entry.afterKnown ||
                      (state.size == entry.sizeAfter && SameFileTime(state.lastWrite, entry.lastWriteAfter));
        bool asFound = state.size == entry.size && SameFileTime(state.lastWrite, entry.lastWrite);
        if (tagThere && asLeft) {
            if (PutOldBytesBack(file.get(), entry))
                ++report_.undone;
            else
                Skip(entryIndex, step.path, UndoSkip::Failed, GetLastError());
        } else if (!(asFound && (happened == Happened::Unknown || asLeft))) {
            // Unchanged since before the run means no tag was written; anything else is a change.
            Skip(entryIndex, step.path, UndoSkip::Changed);
        }
    }

    static bool EndsWithNewTag(HANDLE file, const JournalEntry& entry)
    {
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(entry.tagOffset);
        char bytes[kJournalTagSize];
        DWORD read = 0;
        return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) &&
               ReadFile(file, bytes, sizeof bytes, &read, nullptr) && read == sizeof bytes &&
               entry.newTag.compare(0, std::string::npos, bytes, sizeof bytes) == 0;
    }

    // The replaced bytes written back, or the file cut to its old length; then its old last-write time.
    static bool PutOldBytesBack(HANDLE file, const JournalEntry& entry)
    {
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(entry.tagOffset);
        if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN))
            return false;
        if (entry.tag == TagChange::Replaced) {
            DWORD written = 0;
            if (!WriteFile(file, entry.oldTag.data(), static_cast<DWORD>(entry.oldTag.size()), &written, nullptr) ||
                written != entry.oldTag.size())
                return false;
        } else if (!SetEndOfFile(file)) {
            return false;
        }
        return SetFileTime(file, nullptr, nullptr, &entry.lastWrite) != FALSE;
    }

    void UndoReadOnly(size_t stepIndex, size_t entryIndex)
    {
        const RunStep& step = journal_.steps[stepIndex];
        if (StepHappened(journal_, stepIndex) == Happened::No)
            return;
        EntryState state = ReadEntryState(step.path);
        if (!IsEntry(journal_.entries[entryIndex], state)) {
            Skip(entryIndex, step.path, state.exists ? UndoSkip::Changed : UndoSkip::Missing);
            return;
        }
        if (state.attributes & FILE_ATTRIBUTE_READONLY)
            return; // never cleared, or already back
        if (SetFileAttributesW(step.path.c_str(), (state.attributes & kSettableAttributes) | FILE_ATTRIBUTE_READONLY))
            ++report_.undone;
        else
            Skip(entryIndex, step.path, UndoSkip::Failed, GetLastError());
    }

    const RunJournalData& journal_;
    const UndoTarget& target_;
    UndoReport& report_;
    std::vector<bool> givenUp_;
    std::vector<size_t> firstMove_; // by entry: its first move's step
    // By entry: what a later move of a run cut short found in place of the entry, reported if its
    // earlier steps do not find it either.
    std::vector<UndoProblem> deferred_;
    // Moves whose entry is still at its old name, which may wait for the restart, and beside each
    // whether the ended run's journal says it was postponed.
    std::vector<PendingRename> restartRenames_;
    std::vector<bool> postponed_;
};

} // namespace

UndoCounts CountUndo(const RunJournalData& journal)
{
    UndoCounts counts;
    std::vector<bool> renamed(journal.entries.size(), false);
    for (size_t i = 0; i < journal.steps.size(); ++i) {
        bool stranded = journal.header.state == JournalState::Ended && !journal.results[i].strandedAt.empty();
        if (StepHappened(journal, i) == Happened::No && !stranded)
            continue;
        const RunStep& step = journal.steps[i];
        switch (step.kind) {
        case StepKind::Move: {
            size_t entry = FindJournalEntry(journal.entries, step.entry);
            if (!renamed[entry]) {
                renamed[entry] = true;
                ++counts.renamed;
            }
            break;
        }
        case StepKind::WriteTag:
            ++counts.tags;
            break;
        case StepKind::ClearReadOnly:
            ++counts.readOnlyMarks;
            break;
        }
    }
    counts.memoryFiles = journal.memory.history.state == KeptState::Present ||
                         journal.memory.index.state != KeptState::NotKept;
    counts.favoritesOrder = journal.memory.favoritesOrder.state == KeptState::Present;
    return counts;
}

UndoReport UndoJournal(const RunJournalData& journal, const UndoTarget& target)
{
    // A folder this process started in is renamed back like any other.
    CurrentDirectoryAside aside;
    UndoReport report;
    RestoreKeptMemory(journal.memory, target, report);
    Undoer(journal, target, report).UndoSteps();
    return report;
}
