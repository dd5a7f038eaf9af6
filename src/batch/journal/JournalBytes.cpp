// The bytes of a run's journal: records with a checksum each, written and read record by record,
// so that a damaged record is left out and named rather than trusted.
//
// Layout (integers little-endian; a text is a 32-bit count of UTF-16 units and the units; a blob
// is a 32-bit count of bytes and the bytes):
//   magic "NMROJRNL", version 32 (2), then the records, each framed as
//     payload length 32, payload, CRC-32 of the payload 32 (IEEE, reflected polynomial 0xEDB88320)
//   header record: state 8, mode 8, entry count 32, step count 32, time 64, root text
//   memory record: history file text, kept; index file text, kept; Favorites order kept
//     kept: state 8, and when present: type 32, blob
//   one entry record per entry: plan index 32, flags 8 (1 folder), size 64, last write 64, tag 8,
//     and with a tag: offset 64, the 128 old bytes when replaced, the 128 new bytes
//   one step record per step: kind 8, plan index 32, path below the root, new name, temporary
//     name, attributes 32
//     path below the root: form 8 (0 the root itself, 1 below it) and with form 1 the text after it
//     name: form 8 (0 none, 1 a name in the folder of the step's path) and with form 1 the name
//   end record: empty while the run is begun (framed: 8 zero bytes); once it ended,
//     results: count 32 (one per step): outcome 8, error 32, stranded-at name
//     after: count 32: plan index 32, size 64, last write 64
// Version 1 has the same fields without frames or checksums, one after the other from the state
// to the after count; a begun one ends in the 8 zero bytes of its two empty counts.
#include "JournalBytes.h"

#include "ByteCodec.h"
#include "Crc32.h"
#include "ExtendedPath.h"
#include "PathParts.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::uint32_t kVersion1 = 1;
constexpr std::uint8_t kFolderFlag = 1;
constexpr std::uint8_t kNoName = 0;
constexpr std::uint8_t kName = 1;
constexpr std::uint8_t kRootItself = 0;
constexpr std::uint8_t kBelowRoot = 1;
constexpr std::uint32_t kMaxPlanIndex = static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max());

bool GetText(ByteReader& in, std::wstring& text)
{
    return in.Text(text, kMaxJournalTextUnits);
}

// Appends payload to out as one record: its length, the payload and its checksum.
void PutRecord(std::string& out, std::string_view payload)
{
    ByteWriter frame(out);
    frame.U32(static_cast<std::uint32_t>(payload.size()));
    frame.Raw(payload);
    frame.U32(Crc32(payload));
}

enum class Frame { Read, Damaged, CutShort };

// The next record's payload. CutShort when its length runs past the end: nothing after it can be
// found. Damaged when its checksum fails.
Frame NextRecord(ByteReader& in, std::string_view& payload)
{
    std::uint32_t length = 0;
    std::uint32_t crc = 0;
    if (!in.U32(length) || !in.View(payload, length) || !in.U32(crc))
        return Frame::CutShort;
    return Crc32(payload) == crc ? Frame::Read : Frame::Damaged;
}

// A name that stays in its folder: no separator, not "." or "..". Any other units are names the
// walk can return and a run rename: a colon among them, as a Unix name holds one under Wine (on
// Windows, shares map it to a private-use character), private-use characters, lone surrogates.
bool IsPlainName(std::wstring_view name)
{
    return !name.empty() && name != L"." && name != L".." && name.find_first_of(L"\\/") == std::wstring_view::npos;
}

bool IsPlainRelativePath(std::wstring_view path)
{
    size_t start = 0;
    for (;;) {
        size_t end = path.find(L'\\', start);
        if (!IsPlainName(path.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start)))
            return false;
        if (end == std::wstring_view::npos)
            return true;
        start = end + 1;
    }
}

std::wstring RootPrefix(const std::wstring& root)
{
    return !root.empty() && root.back() == L'\\' ? root : root + L'\\';
}

bool PutBelowRoot(ByteWriter& out, const std::wstring& root, const std::wstring& path)
{
    if (path == root) {
        out.U8(kRootItself);
        return true;
    }
    std::wstring prefix = RootPrefix(root);
    if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0)
        return false;
    std::wstring_view rest(path.data() + prefix.size(), path.size() - prefix.size());
    if (!IsPlainRelativePath(rest) || rest.size() > kMaxJournalTextUnits)
        return false;
    out.U8(kBelowRoot);
    out.Text(rest);
    return true;
}

bool GetBelowRoot(ByteReader& in, const std::wstring& root, std::wstring& path)
{
    std::uint8_t form = 0;
    if (!in.U8(form))
        return false;
    if (form == kRootItself) {
        path = root;
        return true;
    }
    std::wstring rest;
    if (form != kBelowRoot || !GetText(in, rest) || !IsPlainRelativePath(rest))
        return false;
    path = RootPrefix(root) + rest;
    return true;
}

// A name in the folder of path (the new, temporary or stranded name of a move).
bool PutSiblingName(ByteWriter& out, const std::wstring& path, const std::wstring& name)
{
    if (name.empty()) {
        out.U8(kNoName);
        return true;
    }
    std::wstring_view folder = FolderPrefix(path);
    if (folder.empty() || name.size() <= folder.size() || name.compare(0, folder.size(), folder) != 0)
        return false;
    std::wstring_view rest(name.data() + folder.size(), name.size() - folder.size());
    if (!IsPlainName(rest) || rest.size() > kMaxJournalTextUnits)
        return false;
    out.U8(kName);
    out.Text(rest);
    return true;
}

// The name alone, as it is stored: empty for none.
bool GetPlainName(ByteReader& in, std::wstring& name)
{
    std::uint8_t form = 0;
    name.clear();
    if (!in.U8(form))
        return false;
    if (form == kNoName)
        return true;
    return form == kName && GetText(in, name) && IsPlainName(name);
}

bool GetSiblingName(ByteReader& in, const std::wstring& path, std::wstring& name)
{
    std::wstring rest;
    if (!GetPlainName(in, rest))
        return false;
    name.clear();
    if (rest.empty())
        return true;
    std::wstring_view folder = FolderPrefix(path);
    if (folder.empty())
        return false;
    name.assign(folder).append(rest);
    return true;
}

void PutKept(ByteWriter& out, const KeptBytes& kept)
{
    out.U8(static_cast<std::uint8_t>(kept.state));
    if (kept.state == KeptState::Present) {
        out.U32(kept.type);
        out.Blob(kept.bytes);
    }
}

bool GetKept(ByteReader& in, KeptBytes& kept)
{
    std::uint8_t state = 0;
    if (!in.U8(state) || state > static_cast<std::uint8_t>(KeptState::Present))
        return false;
    kept = KeptBytes();
    kept.state = static_cast<KeptState>(state);
    if (kept.state != KeptState::Present)
        return true;
    std::uint32_t type = 0;
    if (!in.U32(type) || !in.Blob(kept.bytes))
        return false;
    kept.type = type;
    return true;
}

bool GetHeader(ByteReader& in, HeaderRecord& header)
{
    std::uint8_t state = 0;
    std::uint8_t mode = 0;
    if (!in.U8(state) ||
        (state != static_cast<std::uint8_t>(JournalState::Begun) && state != static_cast<std::uint8_t>(JournalState::Ended)) ||
        !in.U8(mode) || !IsOperationMode(mode) || !in.U32(header.entryCount) || !in.U32(header.stepCount) ||
        !in.U64(header.time) || !GetText(in, header.root) || !IsExtendedLengthPath(header.root))
        return false;
    header.state = static_cast<JournalState>(state);
    header.mode = static_cast<OperationMode>(mode);
    return true;
}

bool GetMemory(ByteReader& in, JournalMemory& memory)
{
    return GetText(in, memory.historyFile) && GetKept(in, memory.history) && GetText(in, memory.indexFile) &&
           GetKept(in, memory.index) && GetKept(in, memory.favoritesOrder);
}

bool GetEntry(ByteReader& in, EntryRecord& entry)
{
    std::uint32_t planIndex = 0;
    std::uint8_t flags = 0;
    std::uint8_t tag = 0;
    if (!in.U32(planIndex) || planIndex > kMaxPlanIndex || !in.U8(flags) || (flags & ~kFolderFlag) != 0 ||
        !in.U64(entry.size) || !in.U64(entry.lastWrite) || !in.U8(tag) ||
        tag > static_cast<std::uint8_t>(TagChange::Appended))
        return false;
    entry.planIndex = static_cast<std::int32_t>(planIndex);
    entry.isFolder = (flags & kFolderFlag) != 0;
    entry.tag = static_cast<TagChange>(tag);
    if (entry.tag == TagChange::None)
        return true;
    if (!in.U64(entry.tagOffset))
        return false;
    if (entry.tag == TagChange::Replaced && !in.Raw(entry.oldTag, kJournalTagSize))
        return false;
    return in.Raw(entry.newTag, kJournalTagSize);
}

// The position of the entry with the plan index, or the entry count when there is none.
size_t FindEntry(const std::vector<EntryRecord>& entries, std::uint32_t planIndex)
{
    if (planIndex > kMaxPlanIndex)
        return entries.size();
    auto index = static_cast<std::int32_t>(planIndex);
    auto found = std::lower_bound(entries.begin(), entries.end(), index,
                                  [](const EntryRecord& entry, std::int32_t wanted) { return entry.planIndex < wanted; });
    return found != entries.end() && found->planIndex == index ? static_cast<size_t>(found - entries.begin())
                                                               : entries.size();
}

// The step's own fields; whether its entry is known is for the caller to check.
bool GetStep(ByteReader& in, const std::wstring& root, StepRecord& step)
{
    std::uint8_t kind = 0;
    std::uint32_t entry = 0;
    std::uint32_t attributes = 0;
    if (!in.U8(kind) || kind > kMoveStepKind || !in.U32(entry) || entry > kMaxPlanIndex ||
        !GetBelowRoot(in, root, step.path) || !GetSiblingName(in, step.path, step.newPath) ||
        !GetSiblingName(in, step.path, step.temporaryPath) || !in.U32(attributes))
        return false;
    step.kind = kind;
    step.entry = static_cast<std::int32_t>(entry);
    step.attributes = attributes;
    return step.kind != kMoveStepKind || !step.newPath.empty();
}

// The outcomes and the state after the run, into journal. stepRead tells, for every step the
// journal had, whether it is in journal.steps: the outcome of a step that could not be read is
// passed over. Nothing is changed unless all of it reads.
bool GetResults(ByteReader& in, const std::vector<bool>& stepRead, JournalRecords& journal)
{
    std::uint32_t count = 0;
    if (!in.U32(count) || (count != 0 && count != stepRead.size()))
        return false;
    std::vector<ResultRecord> results;
    size_t next = 0; // in journal.steps
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint8_t outcome = 0;
        std::uint32_t error = 0;
        std::wstring stranded;
        if (!in.U8(outcome) || outcome > kLastStepOutcome || !in.U32(error) || !GetPlainName(in, stranded))
            return false;
        if (!stepRead[i])
            continue;
        ResultRecord result;
        result.outcome = outcome;
        result.error = error;
        if (!stranded.empty()) {
            std::wstring_view folder = FolderPrefix(journal.steps[next].path);
            if (folder.empty())
                return false;
            result.strandedAt.assign(folder).append(stranded);
        }
        results.push_back(std::move(result));
        ++next;
    }
    std::uint32_t afterCount = 0;
    if (!in.U32(afterCount) || afterCount > journal.header.entryCount)
        return false;
    std::vector<AfterRecord> after;
    for (std::uint32_t i = 0; i < afterCount; ++i) {
        std::uint32_t planIndex = 0;
        AfterRecord state;
        if (!in.U32(planIndex) || !in.U64(state.size) || !in.U64(state.lastWrite))
            return false;
        if (FindEntry(journal.entries, planIndex) == journal.entries.size()) {
            // Only an entry whose own record could not be read may be missing.
            if (journal.damage.entriesUnreadable == 0)
                return false;
            continue;
        }
        state.planIndex = static_cast<std::int32_t>(planIndex);
        after.push_back(state);
    }
    bool ended = journal.header.state == JournalState::Ended;
    if (ended ? count != stepRead.size() : count != 0 || afterCount != 0)
        return false;
    journal.results = std::move(results);
    for (const AfterRecord& state : after) {
        EntryRecord& entry = journal.entries[FindEntry(journal.entries, static_cast<std::uint32_t>(state.planIndex))];
        entry.afterKnown = true;
        entry.sizeAfter = state.size;
        entry.lastWriteAfter = state.lastWrite;
    }
    return true;
}

bool GetMagicAndVersion(ByteReader& in, std::uint32_t& version)
{
    std::string_view magic;
    return in.View(magic, kJournalMagicSize) && magic == std::string_view(kJournalMagic, kJournalMagicSize) &&
           in.U32(version) && (version == kVersion1 || version == kJournalVersion);
}

// Version 2: the header record, which must read.
bool GetFramedHeader(ByteReader& in, HeaderRecord& header)
{
    std::string_view payload;
    if (NextRecord(in, payload) != Frame::Read)
        return false;
    ByteReader fields(payload);
    return GetHeader(fields, header) && fields.AtEnd();
}

// Version 1: one run of fields, all of which must read.
bool DecodeVersion1(ByteReader& in, JournalRecords& journal)
{
    if (!GetHeader(in, journal.header) || !GetMemory(in, journal.memory))
        return false;
    // Counts are checked against the bytes as they are read, never trusted for a reservation.
    for (std::uint32_t i = 0; i < journal.header.entryCount; ++i) {
        EntryRecord entry;
        if (!GetEntry(in, entry) || (!journal.entries.empty() && journal.entries.back().planIndex >= entry.planIndex))
            return false;
        journal.entries.push_back(std::move(entry));
    }
    std::vector<bool> stepRead;
    for (std::uint32_t i = 0; i < journal.header.stepCount; ++i) {
        StepRecord step;
        if (!GetStep(in, journal.header.root, step) ||
            FindEntry(journal.entries, static_cast<std::uint32_t>(step.entry)) == journal.entries.size())
            return false;
        journal.steps.push_back(std::move(step));
        stepRead.push_back(true);
    }
    return GetResults(in, stepRead, journal) && in.AtEnd();
}

// Taken as a run that never ended: the disk tells what each step did.
void TakeAsNeverEnded(JournalRecords& journal)
{
    journal.damage.endUnreadable = true;
    journal.header.state = JournalState::Begun;
    journal.results.clear();
    for (EntryRecord& entry : journal.entries)
        entry.afterKnown = false;
}

// Passes over the zero bytes of the room a begun journal keeps for its end.
void SkipEndRoom(ByteReader& in)
{
    ByteReader peek = in;
    std::string_view rest;
    peek.View(rest, peek.Left());
    size_t zeros = std::min(rest.find_first_not_of('\0'), rest.size());
    in.View(rest, zeros);
}

// What is left unread once the file ends inside a record.
void CutShort(JournalRecords& journal, std::uint32_t entriesLeft, std::uint32_t stepsLeft)
{
    journal.damage.cutShort = true;
    journal.damage.entriesUnreadable += entriesLeft;
    journal.damage.stepsUnreadable += stepsLeft;
    TakeAsNeverEnded(journal);
}

// Version 2: record by record. The header must read; any other record that does not is left out
// and counted, and once a length runs past the end nothing more can be found.
bool DecodeVersion2(ByteReader& in, JournalRecords& journal)
{
    if (!GetFramedHeader(in, journal.header))
        return false;
    JournalDamage& damage = journal.damage;
    const HeaderRecord& header = journal.header;
    std::string_view payload;

    Frame frame = NextRecord(in, payload);
    ByteReader memory(payload);
    if (frame != Frame::Read || !GetMemory(memory, journal.memory) || !memory.AtEnd()) {
        journal.memory = JournalMemory();
        damage.memoryUnreadable = true;
    }
    if (frame == Frame::CutShort) {
        CutShort(journal, header.entryCount, header.stepCount);
        return true;
    }

    // A count is trusted for a loop only: every record takes at least 8 bytes, so a loop ends
    // with the bytes.
    for (std::uint32_t i = 0; i < header.entryCount; ++i) {
        frame = NextRecord(in, payload);
        if (frame == Frame::CutShort) {
            CutShort(journal, header.entryCount - i, header.stepCount);
            return true;
        }
        ByteReader fields(payload);
        EntryRecord entry;
        if (frame == Frame::Read && GetEntry(fields, entry) && fields.AtEnd() &&
            (journal.entries.empty() || journal.entries.back().planIndex < entry.planIndex))
            journal.entries.push_back(std::move(entry));
        else
            ++damage.entriesUnreadable;
    }

    std::vector<bool> stepRead;
    for (std::uint32_t i = 0; i < header.stepCount; ++i) {
        frame = NextRecord(in, payload);
        if (frame == Frame::CutShort) {
            CutShort(journal, 0, header.stepCount - i);
            return true;
        }
        ByteReader fields(payload);
        StepRecord step;
        bool read = frame == Frame::Read && GetStep(fields, header.root, step) && fields.AtEnd();
        bool entryKnown = read && FindEntry(journal.entries, static_cast<std::uint32_t>(step.entry)) < journal.entries.size();
        // A step of an entry whose record could not be read is left out with it: without the
        // entry's size and time Undo could not tell that it is the same entry.
        if (entryKnown)
            journal.steps.push_back(std::move(step));
        else if (!read || damage.entriesUnreadable == 0)
            ++damage.stepsUnreadable;
        stepRead.push_back(entryKnown);
    }

    frame = NextRecord(in, payload);
    ByteReader end(payload);
    if (frame == Frame::CutShort)
        damage.cutShort = true;
    // A begun journal's end record is empty. Bytes after the end record are none of ours: the
    // end is not trusted then either.
    bool begun = header.state == JournalState::Begun && payload.empty();
    if (begun)
        SkipEndRoom(in);
    if (frame != Frame::Read || !(begun || GetResults(end, stepRead, journal)) || !end.AtEnd() || !in.AtEnd())
        TakeAsNeverEnded(journal);
    return true;
}

} // namespace

void PutJournalStart(std::string& out)
{
    ByteWriter start(out);
    start.Raw(std::string_view(kJournalMagic, kJournalMagicSize));
    start.U32(kJournalVersion);
}

void PutHeaderRecord(std::string& out, const HeaderRecord& header)
{
    std::string payload;
    ByteWriter fields(payload);
    fields.U8(static_cast<std::uint8_t>(JournalState::Begun));
    fields.U8(static_cast<std::uint8_t>(header.mode));
    fields.U32(header.entryCount);
    fields.U32(header.stepCount);
    fields.U64(header.time);
    fields.Text(header.root);
    PutRecord(out, payload);
}

void PutMemoryRecord(std::string& out, const JournalMemory& memory)
{
    std::string payload;
    ByteWriter fields(payload);
    fields.Text(memory.historyFile);
    PutKept(fields, memory.history);
    fields.Text(memory.indexFile);
    PutKept(fields, memory.index);
    PutKept(fields, memory.favoritesOrder);
    PutRecord(out, payload);
}

bool TagBytesFit(const KeptTag& tag)
{
    if (tag.change == TagChange::None)
        return true;
    bool oldFits = tag.change != TagChange::Replaced || tag.oldTag.size() == kJournalTagSize;
    return oldFits && tag.newTag.size() == kJournalTagSize;
}

void PutEntryRecord(std::string& out, std::int32_t planIndex, bool isFolder, std::uint64_t size,
                    std::uint64_t lastWrite, const KeptTag* tag)
{
    std::string payload;
    ByteWriter fields(payload);
    fields.U32(static_cast<std::uint32_t>(planIndex));
    fields.U8(isFolder ? kFolderFlag : 0);
    fields.U64(size);
    fields.U64(lastWrite);
    TagChange change = tag ? tag->change : TagChange::None;
    fields.U8(static_cast<std::uint8_t>(change));
    if (change != TagChange::None) {
        fields.U64(tag->offset);
        if (change == TagChange::Replaced)
            fields.Raw(tag->oldTag);
        fields.Raw(tag->newTag);
    }
    PutRecord(out, payload);
}

bool PutStepRecord(std::string& out, const std::wstring& root, const StepRecord& step)
{
    if (step.kind == kMoveStepKind && step.newPath.empty())
        return false;
    std::string payload;
    ByteWriter fields(payload);
    fields.U8(step.kind);
    fields.U32(static_cast<std::uint32_t>(step.entry));
    if (!PutBelowRoot(fields, root, step.path) || !PutSiblingName(fields, step.path, step.newPath) ||
        !PutSiblingName(fields, step.path, step.temporaryPath))
        return false;
    fields.U32(step.attributes);
    PutRecord(out, payload);
    return true;
}

void PutBegunEnd(std::string& out)
{
    PutRecord(out, std::string_view());
}

size_t EndRecordRoom(const std::vector<size_t>& strandedUnits, size_t taggedFiles)
{
    // The frame, the two counts; per step its outcome, its error and a name (its form, and for a
    // name its count and units); per tagged file its plan index, size and time.
    size_t room = 8 + 4 + 4 + taggedFiles * (4 + 8 + 8);
    for (size_t units : strandedUnits)
        room += 1 + 4 + 1 + (units == 0 ? 0 : 4 + 2 * units);
    return room;
}

void PutEndRecord(std::string& out, const std::vector<ResultRecord>& results,
                  const std::function<std::wstring(size_t step)>& stepPath, const std::vector<AfterRecord>& after)
{
    PutEndRecord(out, results.size(), [&results](size_t i) { return results[i]; }, stepPath, after);
}

void PutEndRecord(std::string& out, size_t stepCount, const std::function<ResultRecord(size_t step)>& resultOf,
                  const std::function<std::wstring(size_t step)>& stepPath, const std::vector<AfterRecord>& after)
{
    // Room for every step's outcome, error and absent name, and every tagged file's state.
    constexpr size_t kStepBytes = 1 + 4 + 1;
    constexpr size_t kAfterBytes = 4 + 8 + 8;
    std::string payload;
    payload.reserve(4 + stepCount * kStepBytes + 4 + after.size() * kAfterBytes);
    ByteWriter fields(payload);
    fields.U32(static_cast<std::uint32_t>(stepCount));
    for (size_t i = 0; i < stepCount; ++i) {
        ResultRecord result = resultOf(i);
        fields.U8(result.outcome);
        fields.U32(result.error);
        // A stranded name the journal cannot hold in the entry's folder is left out: Undo then
        // finds the entry neither at its old nor at its new name and says so. Only a stranded
        // entry needs its step's paths spelled out.
        if (result.strandedAt.empty() || !PutSiblingName(fields, stepPath(i), result.strandedAt))
            fields.U8(kNoName);
    }
    fields.U32(static_cast<std::uint32_t>(after.size()));
    for (const AfterRecord& entry : after) {
        fields.U32(static_cast<std::uint32_t>(entry.planIndex));
        fields.U64(entry.size);
        fields.U64(entry.lastWrite);
    }
    PutRecord(out, payload);
}

bool MarkJournalEnded(std::string& head, size_t stepCount)
{
    ByteReader in(head);
    std::uint32_t version = 0;
    HeaderRecord header;
    if (!GetMagicAndVersion(in, version) || version != kJournalVersion || !GetFramedHeader(in, header) ||
        header.state != JournalState::Begun || header.stepCount != stepCount)
        return false;
    // The header record's payload begins with the state byte; its checksum follows the payload.
    std::uint32_t length = 0;
    ByteReader(std::string_view(head).substr(kJournalMagicSize + 4)).U32(length);
    head[kJournalStateOffset] = static_cast<char>(JournalState::Ended);
    std::string crc;
    ByteWriter(crc).U32(Crc32(std::string_view(head).substr(kJournalStateOffset, length)));
    head.replace(kJournalStateOffset + length, crc.size(), crc);
    return true;
}

bool DecodeHeaderRecord(std::string_view bytes, HeaderRecord& header)
{
    ByteReader in(bytes);
    std::uint32_t version = 0;
    if (!GetMagicAndVersion(in, version))
        return false;
    return version == kVersion1 ? GetHeader(in, header) : GetFramedHeader(in, header);
}

bool DecodeJournalRecords(std::string_view bytes, JournalRecords& journal)
{
    journal = JournalRecords();
    ByteReader in(bytes);
    std::uint32_t version = 0;
    if (!GetMagicAndVersion(in, version))
        return false;
    return version == kVersion1 ? DecodeVersion1(in, journal) : DecodeVersion2(in, journal);
}
