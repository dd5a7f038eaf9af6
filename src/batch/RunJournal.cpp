// The journal of a run: written and made durable before the first change, completed at the end.
#include "RunJournal.h"

#include "AsciiCase.h"
#include "DataFile.h"
#include "EntryState.h"
#include "FavoritesOrder.h"
#include "Id3v1Tag.h"
#include "JournalFormat.h"
#include "JournalStore.h"
#include "UniqueHandle.h"
#include "Win32Text.h"

#include <algorithm>
#include <unordered_map>

static std::wstring FolderPart(const std::wstring& path)
{
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

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

// The history file, and the folder's index file when it lies beside it: both are this program's
// own, and only such a file is ever written back.
static bool KeepMemoryFiles(const RunJournalContext& context, JournalMemory& memory)
{
    if (context.historyFile.empty())
        return true;
    memory.historyFile = context.historyFile;
    if (!KeepFile(context.historyFile, memory.history))
        return false;
    if (context.indexFile.empty() || !EqualsAsciiNoCase(FolderPart(context.indexFile), FolderPart(context.historyFile)))
        return true;
    memory.indexFile = context.indexFile;
    return KeepFile(context.indexFile, memory.index);
}

// The 128 bytes a tag will replace, or the length it will be appended at, as StampId3v1Tag decides
// it; a file that cannot be read keeps no tag, and Undo says so if a tag was written all the same.
static void KeepTag(const std::wstring& path, const std::wstring& tagText, JournalEntry& entry)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size))
        return;
    std::string text = ToAnsi(tagText);
    auto length = static_cast<std::uint64_t>(size.QuadPart);
    if (length >= kId3v1TagSize) {
        LARGE_INTEGER tagStart;
        tagStart.QuadPart = size.QuadPart - static_cast<LONGLONG>(kId3v1TagSize);
        char last[kId3v1TagSize];
        DWORD read = 0;
        if (!SetFilePointerEx(file.get(), tagStart, nullptr, FILE_BEGIN) ||
            !ReadFile(file.get(), last, sizeof last, &read, nullptr) || read != sizeof last)
            return;
        if (IsId3v1Header(std::string_view(last, read))) {
            Id3v1Tag tag = ComposeId3v1Tag(std::string_view(last, kId3v1HeaderSize), text);
            entry.tag = TagChange::Replaced;
            entry.tagOffset = length - kId3v1TagSize;
            entry.oldTag.assign(last, sizeof last);
            entry.newTag.assign(tag.data(), tag.size());
            return;
        }
    }
    Id3v1Tag tag = ComposeId3v1Tag("TAG", text);
    entry.tag = TagChange::Appended;
    entry.tagOffset = length;
    entry.newTag.assign(tag.data(), tag.size());
}

// One entry per plan entry that has steps, in plan order; false for a step without a plan entry.
static bool KeepEntries(const RunPlan& plan, const std::vector<RunStep>& steps, std::vector<JournalEntry>& entries)
{
    std::vector<std::int32_t> indexes;
    std::vector<bool> seen(plan.entries.size(), false);
    for (const RunStep& step : steps) {
        if (step.entry < 0 || static_cast<size_t>(step.entry) >= plan.entries.size())
            return false;
        if (!seen[static_cast<size_t>(step.entry)]) {
            seen[static_cast<size_t>(step.entry)] = true;
            indexes.push_back(step.entry);
        }
    }
    std::sort(indexes.begin(), indexes.end());
    entries.reserve(indexes.size());
    for (std::int32_t index : indexes) {
        const PlannedEntry& planned = plan.entries[static_cast<size_t>(index)];
        JournalEntry entry;
        entry.planIndex = index;
        entry.isFolder = planned.isFolder;
        entry.size = planned.size;
        entry.lastWrite = planned.lastWrite;
        entries.push_back(std::move(entry));
    }
    for (const RunStep& step : steps) {
        if (step.kind != StepKind::WriteTag)
            continue;
        JournalEntry& entry = entries[FindJournalEntry(entries, step.entry)];
        if (entry.tag == TagChange::None)
            KeepTag(step.path, plan.entries[static_cast<size_t>(step.entry)].tagText, entry);
    }
    return true;
}

bool BeginRunJournal(const RunPlan& plan, const std::vector<RunStep>& steps, const RunJournalContext& context,
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
    std::vector<JournalEntry> entries;
    std::string bytes;
    std::wstring path;
    if (!KeepEntries(plan, steps, entries) || !EncodeJournal(header, memory, entries, steps, bytes) ||
        !WriteNewJournal(context.journalFolder, bytes, path))
        return false;
    PruneJournals(context.journalFolder, kKeptJournals);
    journal.path = path;
    return true;
}

// Where each tagged file is after the run, and its size and last-write time there.
static std::vector<EntryAfterRun> TaggedFilesAfterRun(const std::vector<RunStep>& steps,
                                                      const std::vector<StepResult>& results)
{
    std::unordered_map<std::int32_t, std::wstring> whereNow;
    for (const RunStep& step : steps) {
        if (step.kind == StepKind::WriteTag)
            whereNow.emplace(step.entry, step.path);
    }
    for (size_t i = 0; i < steps.size() && !whereNow.empty(); ++i) {
        auto tagged = whereNow.find(steps[i].entry);
        if (tagged == whereNow.end() || steps[i].kind != StepKind::Move)
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

void EndRunJournal(RunJournal& journal, const RunPlan&, const std::vector<RunStep>& steps,
                   const std::vector<StepResult>& results)
{
    if (journal.path.empty() || results.size() != steps.size())
        return;
    std::string bytes;
    // A journal that cannot be completed stays as begun: Undo then reads the disk, as after a crash.
    if (!ReadJournalFile(journal.path, bytes, SIZE_MAX) ||
        !EndJournal(bytes, steps, results, TaggedFilesAfterRun(steps, results)))
        return;
    ReplaceJournal(journal.path, bytes);
}
