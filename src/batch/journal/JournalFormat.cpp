// A run's journal in the engine's own types: the plan, its steps and their outcomes turned into
// the records of JournalBytes.h as they are written, and the records read turned back.
#include "JournalFormat.h"

#include "ExtendedPath.h"
#include "FileTimeTicks.h"
#include "PathParts.h"

#include <algorithm>
#include <limits>
#include <unordered_set>

static_assert(static_cast<std::uint8_t>(StepKind::Move) == kMoveStepKind, "the last step kind the journal reads");
static_assert(static_cast<std::uint8_t>(StepOutcome::NotTried) == kLastStepOutcome, "the last outcome the journal reads");

namespace {

JournalHeader FromRecord(const HeaderRecord& record)
{
    JournalHeader header;
    header.state = record.state;
    header.mode = record.mode;
    header.entryCount = record.entryCount;
    header.stepCount = record.stepCount;
    header.time = FromTicks(record.time);
    header.root = record.root;
    return header;
}

JournalEntry FromRecord(EntryRecord& record)
{
    JournalEntry entry;
    entry.planIndex = record.planIndex;
    entry.isFolder = record.isFolder;
    entry.size = record.size;
    entry.lastWrite = FromTicks(record.lastWrite);
    entry.tag = record.tag;
    entry.tagOffset = record.tagOffset;
    entry.oldTag = std::move(record.oldTag);
    entry.newTag = std::move(record.newTag);
    entry.afterKnown = record.afterKnown;
    entry.sizeAfter = record.sizeAfter;
    entry.lastWriteAfter = FromTicks(record.lastWriteAfter);
    return entry;
}

RunStep FromRecord(StepRecord& record)
{
    RunStep step;
    step.kind = static_cast<StepKind>(record.kind);
    step.entry = record.entry;
    step.path = std::move(record.path);
    step.newPath = std::move(record.newPath);
    step.temporaryPath = std::move(record.temporaryPath);
    step.attributes = record.attributes;
    return step;
}

StepResult FromRecord(ResultRecord& record)
{
    StepResult result;
    result.outcome = static_cast<StepOutcome>(record.outcome);
    result.error = record.error;
    result.strandedAt = std::move(record.strandedAt);
    return result;
}

StepRecord ToRecord(RunStep step)
{
    StepRecord record;
    record.kind = static_cast<std::uint8_t>(step.kind);
    record.entry = step.entry;
    record.path = std::move(step.path);
    record.newPath = std::move(step.newPath);
    record.temporaryPath = std::move(step.temporaryPath);
    record.attributes = step.attributes;
    return record;
}

// The plan entries that have steps, in plan order; false for a step without a plan entry.
bool EntriesWithSteps(const RunPlan& plan, const RunSteps& steps, std::vector<std::int32_t>& indexes)
{
    std::vector<bool> seen(plan.entries.size(), false);
    for (size_t i = 0; i < steps.size(); ++i) {
        std::int32_t entry = steps.EntryOf(i);
        if (entry < 0 || static_cast<size_t>(entry) >= plan.entries.size())
            return false;
        if (!seen[static_cast<size_t>(entry)]) {
            seen[static_cast<size_t>(entry)] = true;
            indexes.push_back(entry);
        }
    }
    std::sort(indexes.begin(), indexes.end());
    return true;
}

} // namespace

bool EncodeJournal(const JournalHeader& header, const JournalMemory& memory, const RunPlan& plan,
                   const RunSteps& steps, const KeptTags& tags, const JournalSink& sink)
{
    // Handed on in pieces of about this size.
    static constexpr size_t kPieceSize = 256 * 1024;
    std::vector<std::int32_t> indexes;
    if (!EntriesWithSteps(plan, steps, indexes) || header.root.size() > kMaxJournalTextUnits ||
        !IsExtendedLengthPath(header.root) || memory.historyFile.size() > kMaxJournalTextUnits ||
        memory.indexFile.size() > kMaxJournalTextUnits || steps.size() > std::numeric_limits<std::uint32_t>::max())
        return false;
    for (const auto& [index, tag] : tags) {
        if (!TagBytesFit(tag))
            return false;
    }

    std::string piece;
    // Hands the piece on once it is big enough.
    auto handOn = [&](bool last) {
        if (piece.size() < kPieceSize && !last)
            return true;
        bool taken = sink(piece);
        piece.clear();
        return taken;
    };
    PutJournalStart(piece);
    HeaderRecord record;
    record.mode = header.mode;
    record.entryCount = static_cast<std::uint32_t>(indexes.size());
    record.stepCount = static_cast<std::uint32_t>(steps.size());
    record.time = Ticks(header.time);
    record.root = header.root;
    PutHeaderRecord(piece, record);
    PutMemoryRecord(piece, memory);
    if (!handOn(false))
        return false;

    for (std::int32_t index : indexes) {
        const PlannedEntry& entry = plan.entries[static_cast<size_t>(index)];
        auto tag = tags.find(index);
        PutEntryRecord(piece, index, entry.isFolder, entry.size, Ticks(entry.lastWrite),
                       tag == tags.end() ? nullptr : &tag->second);
        if (!handOn(false))
            return false;
    }
    for (size_t i = 0; i < steps.size(); ++i) {
        if (!PutStepRecord(piece, header.root, ToRecord(steps[i])) || !handOn(false))
            return false;
    }
    PutBegunEnd(piece); // empty until the run ends
    return handOn(true);
}

bool EncodeJournal(const JournalHeader& header, const JournalMemory& memory, const RunPlan& plan,
                   const RunSteps& steps, const KeptTags& tags, std::string& bytes)
{
    bytes.clear();
    return EncodeJournal(header, memory, plan, steps, tags, [&](std::string_view piece) {
        bytes.append(piece);
        return true;
    });
}

bool EncodeJournalEnd(const RunSteps& steps, const std::vector<StepResult>& results,
                      const std::vector<EntryAfterRun>& after, std::string& bytes)
{
    bytes.clear();
    if (results.size() != steps.size())
        return false;
    auto outcome = [&results](size_t i) {
        ResultRecord record;
        record.outcome = static_cast<std::uint8_t>(results[i].outcome);
        record.error = results[i].error;
        record.strandedAt = results[i].strandedAt.str();
        return record;
    };
    std::vector<AfterRecord> states;
    for (const EntryAfterRun& entry : after)
        states.push_back({entry.planIndex, entry.size, Ticks(entry.lastWrite)});
    PutEndRecord(bytes, results.size(), outcome, [&steps](size_t i) { return steps[i].path; }, states);
    return true;
}

size_t JournalEndRoom(const RunSteps& steps)
{
    // Only a move through a temporary name can leave its entry stranded, under that name.
    std::vector<size_t> stranded(steps.size(), 0);
    std::unordered_set<std::int32_t> tagged;
    for (size_t i = 0; i < steps.size(); ++i) {
        if (steps.KindOf(i) == StepKind::WriteTag)
            tagged.insert(steps.EntryOf(i));
        else if (steps.KindOf(i) == StepKind::Move)
            stranded[i] = LastComponent(steps[i].temporaryPath).size();
    }
    return EndRecordRoom(stranded, tagged.size());
}

bool DecodeJournalHeader(std::string_view bytes, JournalHeader& header)
{
    HeaderRecord record;
    if (!DecodeHeaderRecord(bytes, record))
        return false;
    header = FromRecord(record);
    return true;
}

bool DecodeJournal(std::string_view bytes, RunJournalData& journal)
{
    journal = RunJournalData();
    JournalRecords records;
    if (!DecodeJournalRecords(bytes, records))
        return false;
    journal.header = FromRecord(records.header);
    journal.memory = std::move(records.memory);
    for (EntryRecord& entry : records.entries)
        journal.entries.push_back(FromRecord(entry));
    for (StepRecord& step : records.steps)
        journal.steps.push_back(FromRecord(step));
    for (ResultRecord& result : records.results)
        journal.results.push_back(FromRecord(result));
    journal.damage = records.damage;
    return true;
}

size_t FindJournalEntry(const std::vector<JournalEntry>& entries, std::int32_t planIndex)
{
    auto found = std::lower_bound(entries.begin(), entries.end(), planIndex,
                                  [](const JournalEntry& entry, std::int32_t wanted) { return entry.planIndex < wanted; });
    return planIndex >= 0 && found != entries.end() && found->planIndex == planIndex
               ? static_cast<size_t>(found - entries.begin())
               : entries.size();
}
