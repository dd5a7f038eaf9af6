// The journal of a run: written and made durable before the first change, completed at the end.
#include "RunJournal.h"

#include "DataFile.h"
#include "EntryState.h"
#include "FavoritesOrder.h"
#include "Id3v1Tag.h"
#include "IndexFileName.h"
#include "JournalFormat.h"
#include "JournalStore.h"
#include "PathParts.h"
#include "UniqueHandle.h"
#include "Win32Text.h"

#include <algorithm>
#include <unordered_map>

// A memory file as it is now; false when it exists but cannot be read.
static bool KeepFile(const std::wstring& path, KeptBytes& kept)
{
    kept = KeptBytes();
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD error = GetLastError();
        kept.state = KeptState::Absent;
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    kept.state = KeptState::Present;
    return ReadRestOfFile(file.get(), kept.bytes);
}

// The history file, and the folder's index file when it is one of the history's own (an index
// name beside the history file): only such a file is ever written back.
static bool KeepMemoryFiles(const RunJournalContext& context, JournalMemory& memory)
{
    if (context.historyFile.empty())
        return true;
    memory.historyFile = context.historyFile;
    if (!KeepFile(context.historyFile, memory.history))
        return false;
    if (!IsOwnIndexPath(context.indexFile, std::wstring(FolderPart(context.historyFile))))
        return true;
    memory.indexFile = context.indexFile;
    return KeepFile(context.indexFile, memory.index);
}

// The 128 bytes a tag will replace, or the length it will be appended at, as StampId3v1Tag decides
// it. A file that cannot be read keeps no tag; Undo says so if a tag was written all the same.
static void KeepTag(const std::wstring& path, const std::wstring& tagText, KeptTags& tags, std::int32_t entry)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::uint64_t size = 0;
    std::string tail;
    if (!file || !ReadId3v1Tail(file.get(), size, tail) || (size >= kId3v1TagSize && tail.empty()))
        return;
    Id3v1Placement placement = PlaceId3v1Tag(size, tail, ToAnsi(tagText));
    KeptTag kept;
    kept.change = placement.replaces ? TagChange::Replaced : TagChange::Appended;
    kept.offset = placement.offset;
    kept.oldTag = std::move(placement.oldTag);
    kept.newTag.assign(placement.tag.data(), placement.tag.size());
    tags[entry] = std::move(kept);
}

// What each tag step will overwrite; the plan entries themselves go into the journal as they are.
static bool KeepTags(const RunPlan& plan, const RunSteps& steps, KeptTags& tags)
{
    for (size_t i = 0; i < steps.size(); ++i) {
        std::int32_t entry = steps.EntryOf(i);
        if (steps.KindOf(i) != StepKind::WriteTag || tags.count(entry))
            continue;
        if (entry < 0 || static_cast<size_t>(entry) >= plan.entries.size())
            return false;
        KeepTag(steps[i].path, plan.entries[static_cast<size_t>(entry)].TagText(), tags, entry);
    }
    return true;
}

bool BeginRunJournal(const RunPlan& plan, const RunSteps& steps, const RunJournalContext& context,
                     RunJournal& journal)
{
    journal = RunJournal();
    // A run that changes nothing leaves nothing to take back.
    if (steps.empty() && context.historyFile.empty() && !context.favoritesOrder)
        return true;
    if (context.journalFolder.empty())
        return false;

    JournalHeader header;
    header.mode = plan.mode;
    GetSystemTimeAsFileTime(&header.time);
    header.root = plan.root;
    JournalMemory memory;
    if (!KeepMemoryFiles(context, memory))
        return false;
    if (context.favoritesOrder && !ReadFavoritesOrder(context.favoritesRoot, memory.favoritesOrder))
        return false;
    KeptTags tags;
    if (!KeepTags(plan, steps, tags))
        return false;
    std::wstring path;
    // One write of the whole journal and one flush; it is encoded as it is written.
    auto write = [&](HANDLE file) {
        return EncodeJournal(header, memory, plan, steps, tags,
                             [&](std::string_view piece) { return WriteAllBytes(file, piece); });
    };
    if (!WriteNewJournal(context.journalFolder, write, path))
        return false;
    PruneJournals(context.journalFolder, kKeptJournals);
    journal.path = path;
    journal.held = HoldJournal(path);
    return true;
}

// Where each tagged file is after the run, and its size and last-write time there.
static std::vector<EntryAfterRun> TaggedFilesAfterRun(const RunSteps& steps,
                                                      const std::vector<StepResult>& results)
{
    std::unordered_map<std::int32_t, std::wstring> whereNow;
    for (size_t i = 0; i < steps.size(); ++i) {
        if (steps.KindOf(i) == StepKind::WriteTag)
            whereNow.emplace(steps.EntryOf(i), steps[i].path);
    }
    for (size_t i = 0; i < steps.size() && !whereNow.empty(); ++i) {
        auto tagged = whereNow.find(steps.EntryOf(i));
        if (tagged == whereNow.end() || steps.KindOf(i) != StepKind::Move)
            continue;
        if (results[i].outcome == StepOutcome::Done)
            tagged->second = steps[i].newPath;
        else if (!results[i].strandedAt.empty())
            tagged->second = results[i].strandedAt;
    }
    std::vector<EntryAfterRun> after;
    for (const auto& [entry, path] : whereNow) {
        EntryState state = ReadEntryState(path);
        if (state.exists && !state.IsFolder())
            after.push_back({entry, state.size, state.lastWrite});
    }
    return after;
}

// Copies the begun journal without its empty end record into file, marked ended, and puts the
// end record after it.
static bool CopyEnded(const std::wstring& path, size_t stepCount, const std::string& endRecord, HANDLE file)
{
    UniqueFile begun(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!begun || !GetFileSizeEx(begun.get(), &size) || size.QuadPart < static_cast<LONGLONG>(kBegunJournalTail))
        return false;
    auto left = static_cast<std::uint64_t>(size.QuadPart);
    // Big enough for any header, which the first piece must hold.
    std::string chunk(kMaxJournalHeaderSize + 64 * 1024, '\0');
    bool first = true;
    std::string lastBytes;
    while (left > 0) {
        DWORD read = 0;
        DWORD wanted = static_cast<DWORD>(std::min<std::uint64_t>(chunk.size(), left));
        if (!ReadFile(begun.get(), chunk.data(), wanted, &read, nullptr) || read == 0)
            return false;
        left -= read;
        if (first) {
            chunk.resize(read);
            if (!MarkJournalEnded(chunk, stepCount))
                return false;
            first = false;
        }
        // The last bytes are held back until the end: they are the empty end record, not copied.
        lastBytes.append(chunk.data(), read);
        if (lastBytes.size() > kBegunJournalTail) {
            size_t out = lastBytes.size() - kBegunJournalTail;
            if (!WriteAllBytes(file, std::string_view(lastBytes).substr(0, out)))
                return false;
            lastBytes.erase(0, out);
        }
    }
    return lastBytes == std::string(kBegunJournalTail, '\0') && WriteAllBytes(file, endRecord);
}

bool CompleteJournal(const std::wstring& path, const RunSteps& steps, const std::vector<StepResult>& results,
                     const std::vector<EntryAfterRun>& after)
{
    std::string endRecord;
    if (path.empty() || !EncodeJournalEnd(steps, results, after, endRecord))
        return false;
    return ReplaceFileWith(path, [&](HANDLE file) { return CopyEnded(path, steps.size(), endRecord, file); });
}

bool MarkJournalEndedInPlace(const std::wstring& path, size_t stepCount)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string head(kMaxJournalHeaderSize, '\0');
    DWORD read = 0;
    if (!file || !ReadFile(file.get(), head.data(), static_cast<DWORD>(head.size()), &read, nullptr))
        return false;
    head.resize(read);
    LARGE_INTEGER start{};
    return MarkJournalEnded(head, stepCount) && SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) &&
           WriteAllBytes(file.get(), head) && FlushFileBuffers(file.get());
}

bool EndRunJournal(RunJournal& journal, const RunPlan&, const RunSteps& steps, const std::vector<StepResult>& results)
{
    if (journal.path.empty())
        return false;
    // Ending it replaces the file.
    journal.held.reset();
    // A journal left as begun would be taken for a run cut short, and the next run over the tree
    // would take this one back; where a completed copy cannot be written (a full disk), its header
    // alone is marked ended.
    return CompleteJournal(journal.path, steps, results, TaggedFilesAfterRun(steps, results)) ||
           MarkJournalEndedInPlace(journal.path, steps.size());
}
