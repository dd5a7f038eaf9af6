// A journal's reader on any bytes: refused, or read into records that hold together (rising
// entries, each step's entry among them, every path below the root, a move's names in its folder,
// one outcome per step once ended), with what it left out counted; a sound journal written again
// is the bytes it came from; marking the header ended changes nothing else. A framed journal is
// read a second time with its checksums mended, so that changes reach the fields of its records.
#include "ByteCodec.h"
#include "Crc32.h"
#include "FuzzInput.h"
#include "JournalBytes.h"
#include "PathParts.h"

#include <algorithm>

namespace {

// A name in the folder of path: that folder, a backslash and one plain name.
bool InFolderOf(const std::wstring& path, const std::wstring& name)
{
    if (name.empty())
        return true;
    size_t folder = path.size() - LastComponent(path).size();
    if (folder == 0 || name.size() <= folder || name.compare(0, folder, path, 0, folder) != 0)
        return false;
    std::wstring_view rest = std::wstring_view(name).substr(folder);
    return rest != L"." && rest != L".." && rest.find_first_of(L"\\/") == std::wstring_view::npos;
}

// The root itself, or the root, a backslash and plain names.
bool BelowRoot(const std::wstring& root, const std::wstring& path)
{
    std::wstring prefix = !root.empty() && root.back() == L'\\' ? root : root + L'\\';
    if (path == root)
        return true;
    if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (size_t start = prefix.size(); start <= path.size();) {
        size_t end = std::min(path.find(L'\\', start), path.size());
        std::wstring_view part = std::wstring_view(path).substr(start, end - start);
        if (part.empty() || part == L"." || part == L".." || part.find(L'/') != std::wstring_view::npos)
            return false;
        start = end + 1;
    }
    return true;
}

// Gives every framed record the CRC-32 of its payload, so that changes inside a record reach the
// readers of its fields instead of its checksum alone.
std::string WithChecksumsMended(std::string_view bytes)
{
    std::string mended(bytes);
    for (size_t at = kJournalMagicSize + 4; at + 8 <= mended.size();) {
        std::uint32_t length = 0;
        ByteReader(std::string_view(mended).substr(at)).U32(length);
        if (length > mended.size() - at - 8)
            break;
        std::string crc;
        ByteWriter(crc).U32(Crc32(std::string_view(mended).substr(at + 4, length)));
        mended.replace(at + 4 + length, 4, crc);
        at += 8 + length;
    }
    return mended;
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

void CheckJournal(std::string_view bytes)
{
    JournalRecords journal;
    HeaderRecord header;
    bool headerRead = DecodeHeaderRecord(bytes, header);
    if (!DecodeJournalRecords(bytes, journal))
        return;
    Check(headerRead && header.root == journal.header.root && header.mode == journal.header.mode &&
              header.stepCount == journal.header.stepCount && header.time == journal.header.time,
          "the header alone reads as in the whole journal");
    bool version1 = bytes[kJournalMagicSize] == 1;
    CheckRecords(journal, version1);

    if (!version1 && !journal.damage.Any()) {
        std::string again = WrittenAgain(journal);
        if (journal.header.state == JournalState::Begun) {
            PutBegunEnd(again);
            // What follows is the room kept for the end: zero bytes alone.
            Check(bytes.substr(0, again.size()) == again &&
                      bytes.find_first_not_of('\0', again.size()) == std::string_view::npos,
                  "a sound begun journal is written again as it was");
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
}

} // namespace

// Each input is read as it is, and, when it is a framed journal, once more with every record's
// checksum mended.
void FuzzOne(std::string_view bytes)
{
    CheckJournal(bytes);
    if (bytes.size() > kJournalMagicSize + 4 && bytes[kJournalMagicSize] == static_cast<char>(kJournalVersion)) {
        std::string mended = WithChecksumsMended(bytes);
        if (mended != bytes)
            CheckJournal(mended);
    }
}
