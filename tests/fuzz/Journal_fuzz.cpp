// A journal's reader on any bytes: refused, or read into records that hold together (rising
// entries, each step's entry among them, every path below the root, a move's names in its folder,
// one outcome per step once ended), with what it left out counted; a sound journal written again
// is the bytes it came from; marking the header ended changes nothing else.
#include "FuzzInput.h"
#include "JournalBytes.h"
#include "PathParts.h"

#include <algorithm>

namespace {

bool InFolderOf(const std::wstring& path, const std::wstring& name)
{
    return name.empty() || (name.size() > path.size() - LastComponent(path).size() &&
                            name.compare(0, path.size() - LastComponent(path).size(), path, 0,
                                         path.size() - LastComponent(path).size()) == 0);
}

bool BelowRoot(const std::wstring& root, const std::wstring& path)
{
    std::wstring prefix = !root.empty() && root.back() == L'\\' ? root : root + L'\\';
    return path == root || (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0);
}

void CheckRecords(const JournalRecords& journal, bool version1)
{
    const HeaderRecord& header = journal.header;
    const JournalDamage& damage = journal.damage;
    Check(!version1 || !damage.Any(), "a journal of the first format is read whole or not at all");
    Check(journal.entries.size() + damage.entriesUnreadable == header.entryCount, "every entry is read or counted");
    Check(journal.steps.size() + damage.stepsUnreadable <= header.stepCount, "no step is read twice");
    for (size_t i = 1; i < journal.entries.size(); ++i)
        Check(journal.entries[i - 1].planIndex < journal.entries[i].planIndex, "entries rise by plan index");
    for (const EntryRecord& entry : journal.entries) {
        Check(entry.tag == TagChange::None || entry.newTag.size() == kJournalTagSize, "a tag has 128 bytes");
        Check(entry.tag != TagChange::Replaced || entry.oldTag.size() == kJournalTagSize, "a replaced tag has 128 bytes");
        Check(!entry.afterKnown || header.state == JournalState::Ended, "only an ended run knows its files after it");
    }
    for (const StepRecord& step : journal.steps) {
        Check(std::any_of(journal.entries.begin(), journal.entries.end(),
                          [&step](const EntryRecord& entry) { return entry.planIndex == step.entry; }),
              "every step's entry was read");
        Check(step.kind <= kMoveStepKind, "a step of a known kind");
        Check(BelowRoot(header.root, step.path), "every step is below the root");
        Check(step.kind != kMoveStepKind || !step.newPath.empty(), "a move has a new name");
        Check(InFolderOf(step.path, step.newPath) && InFolderOf(step.path, step.temporaryPath),
              "a move stays in its folder");
    }
    Check(header.state == JournalState::Ended ? journal.results.size() == journal.steps.size() : journal.results.empty(),
          "one outcome per step once ended, none before");
    for (size_t i = 0; i < journal.results.size(); ++i) {
        Check(journal.results[i].outcome <= kLastStepOutcome, "a known outcome");
        Check(InFolderOf(journal.steps[i].path, journal.results[i].strandedAt), "a stranded entry is in its folder");
    }
}

// The journal's bytes up to its end record, written again from what was read.
std::string WrittenAgain(const JournalRecords& journal)
{
    std::string bytes;
    PutJournalStart(bytes);
    PutHeaderRecord(bytes, journal.header);
    PutMemoryRecord(bytes, journal.memory);
    for (const EntryRecord& entry : journal.entries) {
        KeptTag tag{entry.tag, entry.tagOffset, entry.oldTag, entry.newTag};
        PutEntryRecord(bytes, entry.planIndex, entry.isFolder, entry.size, entry.lastWrite,
                       entry.tag == TagChange::None ? nullptr : &tag);
    }
    for (const StepRecord& step : journal.steps)
        Check(PutStepRecord(bytes, journal.header.root, step), "every step read can be written");
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    std::string_view bytes = InputBytes(data, size);
    JournalRecords journal;
    HeaderRecord header;
    bool headerRead = DecodeHeaderRecord(bytes, header);
    if (!DecodeJournalRecords(bytes, journal))
        return 0;
    Check(headerRead && header.root == journal.header.root && header.mode == journal.header.mode &&
              header.stepCount == journal.header.stepCount && header.time == journal.header.time,
          "the header alone reads as in the whole journal");
    bool version1 = bytes[kJournalMagicSize] == 1;
    CheckRecords(journal, version1);

    if (!version1 && !journal.damage.Any()) {
        std::string again = WrittenAgain(journal);
        if (journal.header.state == JournalState::Begun) {
            PutBegunEnd(again);
            Check(again == bytes, "a sound begun journal is written again as it was");
        } else {
            Check(MarkJournalEnded(again, journal.steps.size()), "a begun journal can be marked ended");
            Check(bytes.substr(0, again.size()) == again, "a sound ended journal is written again up to its end");
        }
    }

    std::string marked(bytes);
    if (MarkJournalEnded(marked, header.stepCount)) {
        HeaderRecord ended;
        Check(DecodeHeaderRecord(marked, ended) && ended.state == JournalState::Ended && header.state == JournalState::Begun &&
                  ended.root == header.root && ended.stepCount == header.stepCount,
              "marking a begun journal ended changes its state alone");
        Check(marked.size() == bytes.size() && marked.substr(kJournalStateOffset + header.root.size() * 2 + 26) ==
                                                   bytes.substr(kJournalStateOffset + header.root.size() * 2 + 26),
              "marking changes nothing after the header record");
    }
    return 0;
}
