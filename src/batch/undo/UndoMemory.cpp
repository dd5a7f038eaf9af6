// Puts back what a run changed outside the tree: the numbering memory files and the Favorites order.
#include "UndoMemory.h"

#include "AsciiCase.h"
#include "DataFile.h"
#include "EntryState.h"
#include "FavoritesOrder.h"
#include "IndexFileName.h"
#include "PathParts.h"
#include "UniqueHandle.h"

static void Problem(UndoReport& report, UndoItem item, const std::wstring& path, UndoSkip reason,
                    DWORD error = ERROR_SUCCESS)
{
    report.notUndone.push_back({item, path, reason, error});
}

// True when the file at path holds bytes already: a memory the run could not save is as it was,
// and writing it again would only fail on the full disk that stopped the run.
static bool HoldsAlready(const std::wstring& path, const std::string& bytes)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string now;
    LARGE_INTEGER size{};
    return file && GetFileSizeEx(file.get(), &size) && static_cast<std::uint64_t>(size.QuadPart) == bytes.size() &&
           ReadRestOfFile(file.get(), now) && now == bytes;
}

// Puts bytes back into path unless it holds them already.
static bool PutBack(const std::wstring& path, const std::string& bytes)
{
    return HoldsAlready(path, bytes) || ReplaceFileContents(path, bytes);
}

// The history file goes back to this program's own history file only. The index file goes back
// only where the history itself would keep it: a name of the history's own form in the history
// file's folder, written to that folder under that name, never to the path the journal gives.
static void RestoreMemoryFiles(const JournalMemory& memory, const UndoTarget& target, UndoReport& report)
{
    if (memory.history.state == KeptState::NotKept)
        return;
    bool indexKept = memory.index.state != KeptState::NotKept;
    if (target.historyFile.empty() || !EqualsAsciiNoCase(memory.historyFile, target.historyFile)) {
        Problem(report, UndoItem::HistoryFile, memory.historyFile, UndoSkip::Elsewhere);
        if (indexKept)
            Problem(report, UndoItem::IndexFile, memory.indexFile, UndoSkip::Elsewhere);
        return;
    }
    if (memory.history.state == KeptState::Present) {
        if (PutBack(target.historyFile, memory.history.bytes)) {
            ++report.undone;
            report.historyRestored = true;
        } else {
            Problem(report, UndoItem::HistoryFile, target.historyFile, UndoSkip::Failed, GetLastError());
        }
    }
    if (!indexKept)
        return;
    std::wstring folder(FolderPart(target.historyFile));
    if (!IsOwnIndexPath(memory.indexFile, folder)) {
        Problem(report, UndoItem::IndexFile, memory.indexFile, UndoSkip::Elsewhere);
        return;
    }
    std::wstring indexPath = folder + L"\\" + std::wstring(LastComponent(memory.indexFile));
    if (memory.index.state == KeptState::Present) {
        if (PutBack(indexPath, memory.index.bytes))
            ++report.undone;
        else
            Problem(report, UndoItem::IndexFile, indexPath, UndoSkip::Failed, GetLastError());
    } else if (ReadEntryState(indexPath).exists) {
        // The run made the index file; before it there was none. That holds also when no record
        // names it, as when the history file was removed while Nomaro ran.
        if (DeleteFileW(indexPath.c_str()))
            ++report.undone;
        else
            Problem(report, UndoItem::IndexFile, indexPath, UndoSkip::Failed, GetLastError());
    }
}

static void RestoreOrder(const KeptBytes& order, const UndoTarget& target, UndoReport& report)
{
    if (order.state != KeptState::Present)
        return;
    if (RestoreFavoritesOrder(target.favoritesRoot, order))
        ++report.undone;
    else
        Problem(report, UndoItem::FavoritesOrder, std::wstring(), UndoSkip::Failed, GetLastError());
}

void RestoreKeptMemory(const JournalMemory& memory, const UndoTarget& target, UndoReport& report)
{
    RestoreOrder(memory.favoritesOrder, target, report);
    RestoreMemoryFiles(memory, target, report);
}
