// Takes back a journaled run, newest step first, wherever the disk still shows what the run left.
#include "UndoRun.h"

#include "AsciiCase.h"
#include "DataFile.h"
#include "EntryState.h"
#include "FavoritesOrder.h"
#include "HistoryFormat.h"
#include "JournalStore.h"
#include "UniqueHandle.h"

static constexpr wchar_t kIndexExtension[] = L".idx";
static constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                                             FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM |
                                             FILE_ATTRIBUTE_TEMPORARY;

UndoOffer FindUndoOffer(const std::wstring& journalFolder)
{
    UndoOffer offer;
    if (journalFolder.empty())
        return offer;
    for (const std::wstring& name : ListJournals(journalFolder)) {
        std::wstring path = journalFolder + L"\\" + name;
        std::string bytes;
        // A journal whose header cannot be read is one whose run never began: it was not yet
        // durable, and nothing is changed before it is.
        if (ReadJournalFile(path, bytes, kMaxJournalHeaderSize) && DecodeJournalHeader(bytes, offer.header)) {
            offer.journalPath = path;
            return offer;
        }
    }
    return offer;
}

bool LoadJournal(const std::wstring& journalPath, RunJournalData& journal)
{
    std::string bytes;
    return ReadJournalFile(journalPath, bytes, SIZE_MAX) && DecodeJournal(bytes, journal);
}

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

std::wstring LastComponent(const std::wstring& path)
{
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring FolderPart(const std::wstring& path)
{
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
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
    Undoer(const RunJournalData& journal, UndoReport& report)
        : journal_(journal), report_(report), givenUp_(journal.entries.size(), false)
    {
    }

    void UndoSteps()
    {
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
    }

private:
    void Skip(size_t entry, const std::wstring& path, UndoSkip reason, DWORD error = ERROR_SUCCESS)
    {
        givenUp_[entry] = true;
        report_.notUndone.push_back({UndoItem::Entry, path, reason, error});
    }

    // Where the entry may be besides its old and new name: where a failed move stranded it, or
    // the temporary name of a case-only move that was cut short.
    std::wstring Elsewhere(size_t step) const
    {
        if (journal_.header.state == JournalState::Ended && !journal_.results[step].strandedAt.empty())
            return journal_.results[step].strandedAt;
        return journal_.steps[step].temporaryPath;
    }

    void UndoMove(size_t stepIndex, size_t entryIndex)
    {
        const RunStep& step = journal_.steps[stepIndex];
        const JournalEntry& entry = journal_.entries[entryIndex];
        std::wstring elsewhere = Elsewhere(stepIndex);
        if (!elsewhere.empty() && IsEntry(entry, ReadEntryState(elsewhere))) {
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

        // A run that never ended is taken to have made the move only when the entry is at its new
        // name and not at its old one: a later step of a chain may have put another entry there.
        if (onNew && (happened == Happened::Yes || !onOld)) {
            Move(entryIndex, step.newPath, step.path, caseOnly, step.temporaryPath);
        } else if (onOld) {
            // Not renamed, or already back. A postponed rename still waits for the restart.
            if (journal_.header.state == JournalState::Ended &&
                journal_.results[stepIndex].outcome == StepOutcome::Postponed)
                Skip(entryIndex, step.path, UndoSkip::AwaitingRestart);
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
            through = FolderPart(to) + L"\\~nomaro-undo" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
        if (!MoveFileExW(from.c_str(), through.c_str(), 0)) {
            Skip(entryIndex, from, UndoSkip::Failed, GetLastError());
            return false;
        }
        if (MoveFileExW(through.c_str(), to.c_str(), 0))
            return true;
        DWORD error = GetLastError();
        // The entry must not stay under the temporary name; where it cannot go back, say where it is.
        bool back = MoveFileExW(through.c_str(), from.c_str(), 0) != FALSE;
        Skip(entryIndex, back ? from : through, UndoSkip::Failed, error);
        return false;
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
    UndoReport& report_;
    std::vector<bool> givenUp_;
};

// True when the history file's bytes hold a record whose index file is indexFile.
bool HistoryNamesIndex(const std::string& historyBytes, const std::wstring& indexFile)
{
    PathList records;
    ReadHistoryRecords(historyBytes, records);
    for (const PathEntry* record = records.head; record; record = record->next) {
        if (record->secondPath && EqualsAsciiNoCase(*record->secondPath, indexFile))
            return true;
    }
    return false;
}

std::string ReadWholeFile(const std::wstring& path)
{
    std::string bytes;
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file)
        ReadRestOfFile(file.get(), bytes);
    return bytes;
}

void Problem(UndoReport& report, UndoItem item, const std::wstring& path, UndoSkip reason, DWORD error = ERROR_SUCCESS)
{
    report.notUndone.push_back({item, path, reason, error});
}

// The history file goes back to this program's own history file only; the index file only to a
// name beside it that a history record, before the run or now, gives as its index file.
void RestoreMemoryFiles(const JournalMemory& memory, const UndoTarget& target, UndoReport& report)
{
    if (memory.history.state == KeptState::NotKept)
        return;
    if (target.historyFile.empty() || !EqualsAsciiNoCase(memory.historyFile, target.historyFile)) {
        Problem(report, UndoItem::HistoryFile, memory.historyFile, UndoSkip::Elsewhere);
        return;
    }
    std::string historyNow = ReadWholeFile(target.historyFile);
    std::wstring folder = FolderPart(target.historyFile);
    std::wstring indexName = LastComponent(memory.indexFile);
    bool indexIsOurs = memory.index.state != KeptState::NotKept &&
                       EqualsAsciiNoCase(FolderPart(memory.indexFile), folder) && indexName.size() > 4 &&
                       EqualsAsciiNoCase(std::wstring_view(indexName).substr(indexName.size() - 4), kIndexExtension) &&
                       (HistoryNamesIndex(historyNow, memory.indexFile) ||
                        (memory.history.state == KeptState::Present && HistoryNamesIndex(memory.history.bytes, memory.indexFile)));

    if (memory.history.state == KeptState::Present) {
        if (ReplaceFileContents(target.historyFile, memory.history.bytes)) {
            ++report.undone;
            report.historyRestored = true;
        } else {
            Problem(report, UndoItem::HistoryFile, target.historyFile, UndoSkip::Failed, GetLastError());
        }
    }
    if (memory.index.state == KeptState::NotKept)
        return;
    if (!indexIsOurs) {
        Problem(report, UndoItem::IndexFile, memory.indexFile, UndoSkip::Elsewhere);
        return;
    }
    std::wstring indexPath = folder + L"\\" + indexName;
    if (memory.index.state == KeptState::Present) {
        if (ReplaceFileContents(indexPath, memory.index.bytes))
            ++report.undone;
        else
            Problem(report, UndoItem::IndexFile, indexPath, UndoSkip::Failed, GetLastError());
    } else if (ReadEntryState(indexPath).exists) {
        // The run made the index file; before it there was none.
        if (DeleteFileW(indexPath.c_str()))
            ++report.undone;
        else
            Problem(report, UndoItem::IndexFile, indexPath, UndoSkip::Failed, GetLastError());
    }
}

void RestoreOrder(const KeptBytes& order, const UndoTarget& target, UndoReport& report)
{
    if (order.state != KeptState::Present)
        return;
    if (RestoreFavoritesOrder(target.favoritesRoot, order))
        ++report.undone;
    else
        Problem(report, UndoItem::FavoritesOrder, std::wstring(), UndoSkip::Failed, GetLastError());
}

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
    UndoReport report;
    RestoreOrder(journal.memory.favoritesOrder, target, report);
    RestoreMemoryFiles(journal.memory, target, report);
    Undoer(journal, report).UndoSteps();
    return report;
}
