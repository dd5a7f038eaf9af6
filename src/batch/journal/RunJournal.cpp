// The journal of a run: written and made durable before the first change, completed at the end.
#include "RunJournal.h"

#include "ByteCodec.h"
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
        KeepTag(steps[i].path, plan.TagText(plan.entries[static_cast<size_t>(entry)]), tags, entry);
    }
    return true;
}

// Zero bytes for the room the end will take, written in pieces.
static bool WriteRoom(HANDLE file, size_t room)
{
    static const std::string zeros(64 * 1024, '\0');
    while (room > 0) {
        size_t piece = std::min(room, zeros.size());
        if (!WriteAllBytes(file, std::string_view(zeros).substr(0, piece)))
            return false;
        room -= piece;
    }
    return true;
}

static bool Refuse(RunJournal& journal, DWORD error)
{
    journal.error = error;
    return false;
}

bool BeginRunJournal(const RunPlan& plan, const RunSteps& steps, const RunJournalContext& context,
                     RunJournal& journal)
{
    journal = RunJournal();
    // A run that changes nothing leaves nothing to take back.
    if (steps.empty() && context.historyFile.empty() && !context.favoritesOrder)
        return true;
    if (context.journalFolder.empty())
        return Refuse(journal, ERROR_PATH_NOT_FOUND);

    JournalHeader header;
    header.mode = plan.mode;
    GetSystemTimeAsFileTime(&header.time);
    header.root = plan.root;
    JournalMemory memory;
    if (!KeepMemoryFiles(context, memory))
        return Refuse(journal, LastErrorOr(ERROR_READ_FAULT));
    if (context.favoritesOrder && !ReadFavoritesOrder(context.favoritesRoot, memory.favoritesOrder))
        return Refuse(journal, LastErrorOr(ERROR_READ_FAULT));
    KeptTags tags;
    if (!KeepTags(plan, steps, tags))
        return Refuse(journal, ERROR_INVALID_DATA);
    const size_t endRoom = JournalEndRoom(steps);
    bool encoded = false;
    // One write of the whole journal and one flush; it is encoded as it is written, and followed
    // by the room its end will take, so that a disk too full for the end stops the run now.
    auto write = [&](HANDLE file) {
        encoded = EncodeJournal(header, memory, plan, steps, tags,
                                [&](std::string_view piece) { return WriteAllBytes(file, piece); });
        return encoded && WriteRoom(file, endRoom - kBegunJournalTail);
    };
    std::wstring path;
    if (!WriteNewJournal(context.journalFolder, write, path))
        return Refuse(journal, LastErrorOr(encoded ? ERROR_WRITE_FAULT : ERROR_INVALID_DATA));
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

// The end record goes into the room the begun journal kept, what is left of the room is dropped,
// and only then is the header marked ended: a crash in between leaves a journal taken for a run
// that never ended, whose steps the disk decides. Writing within the file's own length takes no
// room from the disk.
bool CompleteJournal(HANDLE journal, const RunSteps& steps, const std::vector<StepResult>& results,
                     const std::vector<EntryAfterRun>& after)
{
    std::string endRecord;
    size_t room = JournalEndRoom(steps);
    LARGE_INTEGER size{};
    if (!journal || journal == INVALID_HANDLE_VALUE || !EncodeJournalEnd(steps, results, after, endRecord) ||
        endRecord.size() > room || !GetFileSizeEx(journal, &size) || static_cast<std::uint64_t>(size.QuadPart) < room)
        return false;
    // Only a begun journal of as many steps is ended, and only where its empty end record is.
    std::string head(kMaxJournalHeaderSize, '\0');
    std::string begunEnd(kBegunJournalTail, '\0');
    LARGE_INTEGER start{};
    LARGE_INTEGER end{};
    end.QuadPart = size.QuadPart - static_cast<LONGLONG>(room);
    DWORD read = 0;
    DWORD readEnd = 0;
    if (!SetFilePointerEx(journal, start, nullptr, FILE_BEGIN) ||
        !ReadFile(journal, head.data(), static_cast<DWORD>(head.size()), &read, nullptr) ||
        !SetFilePointerEx(journal, end, nullptr, FILE_BEGIN) ||
        !ReadFile(journal, begunEnd.data(), static_cast<DWORD>(begunEnd.size()), &readEnd, nullptr) ||
        readEnd != kBegunJournalTail || begunEnd != std::string(kBegunJournalTail, '\0'))
        return false;
    head.resize(read);
    if (!MarkJournalEnded(head, steps.size()))
        return false;
    // Only the header record goes back: what follows it in head was read before the end was written.
    std::uint32_t headerLength = 0;
    ByteReader(std::string_view(head).substr(kJournalMagicSize + 4)).U32(headerLength);
    head.resize(kJournalStateOffset + headerLength + 4);
    return SetFilePointerEx(journal, end, nullptr, FILE_BEGIN) && WriteAllBytes(journal, endRecord) &&
           SetEndOfFile(journal) && FlushFileBuffers(journal) && SetFilePointerEx(journal, start, nullptr, FILE_BEGIN) &&
           WriteAllBytes(journal, head) && FlushFileBuffers(journal);
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
    bool ended = CompleteJournal(journal.held.get(), steps, results, TaggedFilesAfterRun(steps, results));
    journal.held.reset();
    // A journal left as begun would be taken for a run cut short, and the next run over the tree
    // would take this one back; where the end cannot be written, its header alone is marked ended.
    return ended || MarkJournalEndedInPlace(journal.path, steps.size());
}
