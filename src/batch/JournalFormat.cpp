// The bytes of a run's journal.
//
// Layout (integers little-endian; a text is a 32-bit count of UTF-16 units and the units; a blob
// is a 32-bit count of bytes and the bytes):
//   magic "NMROJRNL", version 32, state 8, mode 8, entry count 32, step count 32, time 64, root text
//   history file text, kept; index file text, kept; Favorites order kept
//     kept: state 8, and when present: type 32, blob
//   entries: plan index 32, flags 8 (1 folder), size 64, last write 64, tag 8,
//     and with a tag: offset 64, the 128 old bytes when replaced, the 128 new bytes
//   steps: kind 8, plan index 32, path below the root, new name, temporary name, attributes 32
//     path below the root: form 8 (0 the root itself, 1 below it) and with form 1 the text after it
//     name: form 8 (0 none, 1 a name in the folder of the step's path) and with form 1 the name
//   results: count 32 (0 while begun, else one per step): outcome 8, error 32, stranded-at name
//   after: count 32: plan index 32, size 64, last write 64
#include "JournalFormat.h"

#include "AsciiCase.h"
#include "ExtendedPath.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::uint8_t kFolderFlag = 1;
constexpr std::uint8_t kNoName = 0;
constexpr std::uint8_t kName = 1;
constexpr std::uint8_t kRootItself = 0;
constexpr std::uint8_t kBelowRoot = 1;
constexpr wchar_t kJournalPrefix[] = L"Run-";
constexpr wchar_t kJournalExtension[] = L".journal";

// Appends fields to a buffer.
class Writer {
public:
    explicit Writer(std::string& out) : out_(out) {}
    void U8(std::uint8_t value) { out_.push_back(static_cast<char>(value)); }
    void U32(std::uint32_t value) { Put(value, 4); }
    void U64(std::uint64_t value) { Put(value, 8); }
    void Time(const FILETIME& time)
    {
        U64((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    }
    void Text(std::wstring_view text)
    {
        U32(static_cast<std::uint32_t>(text.size()));
        for (wchar_t unit : text) {
            out_.push_back(static_cast<char>(unit & 0xFF));
            out_.push_back(static_cast<char>((unit >> 8) & 0xFF));
        }
    }
    void Blob(std::string_view bytes)
    {
        U32(static_cast<std::uint32_t>(bytes.size()));
        out_.append(bytes);
    }
    void Raw(std::string_view bytes) { out_.append(bytes); }

private:
    void Put(std::uint64_t value, int size)
    {
        for (int i = 0; i < size; ++i)
            out_.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    std::string& out_;
};

// Reads fields front to back and never past the end; every length is checked against what is left.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool AtEnd() const { return position_ == bytes_.size(); }
    bool U8(std::uint8_t& value)
    {
        std::uint64_t wide = 0;
        if (!Get(wide, 1))
            return false;
        value = static_cast<std::uint8_t>(wide);
        return true;
    }
    bool U32(std::uint32_t& value)
    {
        std::uint64_t wide = 0;
        if (!Get(wide, 4))
            return false;
        value = static_cast<std::uint32_t>(wide);
        return true;
    }
    bool U64(std::uint64_t& value) { return Get(value, 8); }
    bool Time(FILETIME& time)
    {
        std::uint64_t ticks = 0;
        if (!U64(ticks))
            return false;
        time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
        time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
        return true;
    }
    bool Text(std::wstring& text)
    {
        std::uint32_t units = 0;
        if (!U32(units) || units > kMaxJournalTextUnits || Left() / 2 < units)
            return false;
        text.resize(units);
        for (std::uint32_t i = 0; i < units; ++i) {
            auto low = static_cast<unsigned char>(bytes_[position_]);
            auto high = static_cast<unsigned char>(bytes_[position_ + 1]);
            text[i] = static_cast<wchar_t>(low | (high << 8));
            position_ += 2;
        }
        return true;
    }
    bool Blob(std::string& bytes)
    {
        std::uint32_t size = 0;
        return U32(size) && Raw(bytes, size);
    }
    bool Raw(std::string& bytes, size_t size)
    {
        if (Left() < size)
            return false;
        bytes.assign(bytes_.data() + position_, size);
        position_ += size;
        return true;
    }

private:
    size_t Left() const { return bytes_.size() - position_; }
    bool Get(std::uint64_t& value, int size)
    {
        if (Left() < static_cast<size_t>(size))
            return false;
        value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(bytes_[position_ + static_cast<size_t>(i)]);
        position_ += static_cast<size_t>(size);
        return true;
    }
    std::string_view bytes_;
    size_t position_ = 0;
};

// A name that stays in its folder: no separator, no stream, not "." or "..".
bool IsPlainName(std::wstring_view name)
{
    return !name.empty() && name != L"." && name != L".." && name.find_first_of(L"\\/:") == std::wstring_view::npos;
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

std::wstring FolderOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

bool PutBelowRoot(Writer& out, const std::wstring& root, const std::wstring& path)
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

bool GetBelowRoot(Reader& in, const std::wstring& root, std::wstring& path)
{
    std::uint8_t form = 0;
    if (!in.U8(form))
        return false;
    if (form == kRootItself) {
        path = root;
        return true;
    }
    std::wstring rest;
    if (form != kBelowRoot || !in.Text(rest) || !IsPlainRelativePath(rest))
        return false;
    path = RootPrefix(root) + rest;
    return true;
}

// A name in the folder of path (the new, temporary or stranded name of a move).
bool PutSiblingName(Writer& out, const std::wstring& path, const std::wstring& name)
{
    if (name.empty()) {
        out.U8(kNoName);
        return true;
    }
    std::wstring folder = FolderOf(path);
    if (folder.empty() || name.size() <= folder.size() || name.compare(0, folder.size(), folder) != 0)
        return false;
    std::wstring_view rest(name.data() + folder.size(), name.size() - folder.size());
    if (!IsPlainName(rest) || rest.size() > kMaxJournalTextUnits)
        return false;
    out.U8(kName);
    out.Text(rest);
    return true;
}

bool GetSiblingName(Reader& in, const std::wstring& path, std::wstring& name)
{
    std::uint8_t form = 0;
    if (!in.U8(form))
        return false;
    name.clear();
    if (form == kNoName)
        return true;
    std::wstring rest;
    std::wstring folder = FolderOf(path);
    if (form != kName || !in.Text(rest) || !IsPlainName(rest) || folder.empty())
        return false;
    name = folder + rest;
    return true;
}

void PutKept(Writer& out, const KeptBytes& kept)
{
    out.U8(static_cast<std::uint8_t>(kept.state));
    if (kept.state == KeptState::Present) {
        out.U32(kept.type);
        out.Blob(kept.bytes);
    }
}

bool GetKept(Reader& in, KeptBytes& kept)
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

void PutEntry(Writer& out, std::int32_t planIndex, const PlannedEntry& planned, const KeptTag* tag)
{
    out.U32(static_cast<std::uint32_t>(planIndex));
    out.U8(planned.isFolder ? kFolderFlag : 0);
    out.U64(planned.size);
    out.Time(planned.lastWrite);
    TagChange change = tag ? tag->change : TagChange::None;
    out.U8(static_cast<std::uint8_t>(change));
    if (change == TagChange::None)
        return;
    out.U64(tag->offset);
    if (change == TagChange::Replaced)
        out.Raw(tag->oldTag);
    out.Raw(tag->newTag);
}

bool GetEntry(Reader& in, JournalEntry& entry)
{
    std::uint32_t planIndex = 0;
    std::uint8_t flags = 0;
    std::uint8_t tag = 0;
    if (!in.U32(planIndex) || planIndex > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()) ||
        !in.U8(flags) || (flags & ~kFolderFlag) != 0 || !in.U64(entry.size) || !in.Time(entry.lastWrite) ||
        !in.U8(tag) || tag > static_cast<std::uint8_t>(TagChange::Appended))
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

bool EntriesRise(const std::vector<JournalEntry>& entries)
{
    for (size_t i = 1; i < entries.size(); ++i) {
        if (entries[i - 1].planIndex >= entries[i].planIndex)
            return false;
    }
    return true;
}

// The position of the entry with the plan index, or the entry count when there is none.
size_t FindEntry(const std::vector<JournalEntry>& entries, std::int32_t planIndex)
{
    auto found = std::lower_bound(entries.begin(), entries.end(), planIndex,
                                  [](const JournalEntry& entry, std::int32_t index) { return entry.planIndex < index; });
    return found != entries.end() && found->planIndex == planIndex ? static_cast<size_t>(found - entries.begin())
                                                                   : entries.size();
}

bool HasEntry(const std::vector<JournalEntry>& entries, std::int32_t planIndex)
{
    return FindEntry(entries, planIndex) < entries.size();
}

bool TagBytesFit(const KeptTag& tag)
{
    if (tag.change == TagChange::None)
        return true;
    bool oldFits = tag.change != TagChange::Replaced || tag.oldTag.size() == kJournalTagSize;
    return oldFits && tag.newTag.size() == kJournalTagSize;
}

bool PutStep(Writer& out, const std::wstring& root, const RunStep& step)
{
    out.U8(static_cast<std::uint8_t>(step.kind));
    out.U32(static_cast<std::uint32_t>(step.entry));
    if (!PutBelowRoot(out, root, step.path) || !PutSiblingName(out, step.path, step.newPath) ||
        !PutSiblingName(out, step.path, step.temporaryPath))
        return false;
    out.U32(step.attributes);
    return true;
}

bool GetStep(Reader& in, const std::wstring& root, const std::vector<JournalEntry>& entries, RunStep& step)
{
    std::uint8_t kind = 0;
    std::uint32_t entry = 0;
    std::uint32_t attributes = 0;
    if (!in.U8(kind) || kind > static_cast<std::uint8_t>(StepKind::Move) || !in.U32(entry) ||
        entry > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()) ||
        !HasEntry(entries, static_cast<std::int32_t>(entry)) || !GetBelowRoot(in, root, step.path) ||
        !GetSiblingName(in, step.path, step.newPath) || !GetSiblingName(in, step.path, step.temporaryPath) ||
        !in.U32(attributes))
        return false;
    step.kind = static_cast<StepKind>(kind);
    step.entry = static_cast<std::int32_t>(entry);
    step.attributes = attributes;
    return step.kind != StepKind::Move || !step.newPath.empty();
}

bool GetHeader(Reader& in, JournalHeader& header)
{
    std::string magic;
    std::uint32_t version = 0;
    std::uint8_t state = 0;
    std::uint8_t mode = 0;
    if (!in.Raw(magic, kJournalMagicSize) || magic != std::string_view(kJournalMagic, kJournalMagicSize) ||
        !in.U32(version) || version != kJournalVersion || !in.U8(state) ||
        (state != static_cast<std::uint8_t>(JournalState::Begun) && state != static_cast<std::uint8_t>(JournalState::Ended)) ||
        !in.U8(mode) || !IsOperationMode(mode) || !in.U32(header.entryCount) || !in.U32(header.stepCount) ||
        !in.Time(header.time) || !in.Text(header.root) || !IsExtendedLengthPath(header.root))
        return false;
    header.state = static_cast<JournalState>(state);
    header.mode = static_cast<OperationMode>(mode);
    return true;
}

bool GetMemory(Reader& in, JournalMemory& memory)
{
    return in.Text(memory.historyFile) && GetKept(in, memory.history) && in.Text(memory.indexFile) &&
           GetKept(in, memory.index) && GetKept(in, memory.favoritesOrder);
}

bool GetResults(Reader& in, RunJournalData& journal)
{
    std::uint32_t count = 0;
    if (!in.U32(count) || (count != 0 && count != journal.steps.size()))
        return false;
    journal.results.resize(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint8_t outcome = 0;
        std::uint32_t error = 0;
        StepResult& result = journal.results[i];
        if (!in.U8(outcome) || outcome > static_cast<std::uint8_t>(StepOutcome::NotTried) || !in.U32(error) ||
            !GetSiblingName(in, journal.steps[i].path, result.strandedAt))
            return false;
        result.outcome = static_cast<StepOutcome>(outcome);
        result.error = error;
    }
    std::uint32_t afterCount = 0;
    if (!in.U32(afterCount) || afterCount > journal.entries.size())
        return false;
    for (std::uint32_t i = 0; i < afterCount; ++i) {
        std::uint32_t planIndex = 0;
        std::uint64_t size = 0;
        FILETIME time{};
        if (!in.U32(planIndex) || !in.U64(size) || !in.Time(time))
            return false;
        size_t position = planIndex > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())
                              ? journal.entries.size()
                              : FindEntry(journal.entries, static_cast<std::int32_t>(planIndex));
        if (position == journal.entries.size())
            return false;
        JournalEntry& entry = journal.entries[position];
        entry.afterKnown = true;
        entry.sizeAfter = size;
        entry.lastWriteAfter = time;
    }
    bool ended = journal.header.state == JournalState::Ended;
    return ended ? count == journal.steps.size() : count == 0 && afterCount == 0;
}

} // namespace

// The plan entries that have steps, in plan order; false for a step without a plan entry.
static bool EntriesWithSteps(const RunPlan& plan, const RunSteps& steps, std::vector<std::int32_t>& indexes)
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
    Writer out(piece);
    auto handOn = [&](bool last) {
        if (piece.size() < kPieceSize && !last)
            return true;
        bool taken = sink(piece);
        piece.clear();
        return taken;
    };
    out.Raw(std::string_view(kJournalMagic, kJournalMagicSize));
    out.U32(kJournalVersion);
    out.U8(static_cast<std::uint8_t>(JournalState::Begun));
    out.U8(static_cast<std::uint8_t>(header.mode));
    out.U32(static_cast<std::uint32_t>(indexes.size()));
    out.U32(static_cast<std::uint32_t>(steps.size()));
    out.Time(header.time);
    out.Text(header.root);

    out.Text(memory.historyFile);
    PutKept(out, memory.history);
    out.Text(memory.indexFile);
    PutKept(out, memory.index);
    PutKept(out, memory.favoritesOrder);

    for (std::int32_t index : indexes) {
        auto tag = tags.find(index);
        PutEntry(out, index, plan.entries[static_cast<size_t>(index)], tag == tags.end() ? nullptr : &tag->second);
        if (!handOn(false))
            return false;
    }
    for (size_t i = 0; i < steps.size(); ++i) {
        RunStep step = steps[i];
        if ((step.kind == StepKind::Move && step.newPath.empty()) || !PutStep(out, header.root, step) || !handOn(false))
            return false;
    }
    out.Raw(std::string_view("\0\0\0\0\0\0\0\0", kBegunJournalTail)); // no outcomes, no state after the run yet
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
    Writer out(bytes);
    out.U32(static_cast<std::uint32_t>(results.size()));
    for (size_t i = 0; i < results.size(); ++i) {
        out.U8(static_cast<std::uint8_t>(results[i].outcome));
        out.U32(results[i].error);
        // A stranded name the journal cannot hold in the entry's folder is left out: Undo then
        // finds the entry neither at its old nor at its new name and says so. Only a stranded
        // entry needs its step's paths spelled out.
        if (results[i].strandedAt.empty() || !PutSiblingName(out, steps[i].path, results[i].strandedAt))
            out.U8(kNoName);
    }
    out.U32(static_cast<std::uint32_t>(after.size()));
    for (const EntryAfterRun& entry : after) {
        out.U32(static_cast<std::uint32_t>(entry.planIndex));
        out.U64(entry.size);
        out.Time(entry.lastWrite);
    }
    return true;
}

bool IsBegunJournalOf(const JournalHeader& header, size_t stepCount)
{
    return header.state == JournalState::Begun && header.stepCount == stepCount;
}

bool EndJournal(std::string& bytes, const RunSteps& steps, const std::vector<StepResult>& results,
                const std::vector<EntryAfterRun>& after)
{
    JournalHeader header;
    std::string tail;
    if (!DecodeJournalHeader(bytes, header) || !IsBegunJournalOf(header, steps.size()) ||
        bytes.size() < kBegunJournalTail ||
        bytes.find_first_not_of('\0', bytes.size() - kBegunJournalTail) != std::string::npos ||
        !EncodeJournalEnd(steps, results, after, tail))
        return false;
    bytes.resize(bytes.size() - kBegunJournalTail);
    bytes += tail;
    bytes[kJournalStateOffset] = static_cast<char>(JournalState::Ended);
    return true;
}

bool DecodeJournalHeader(std::string_view bytes, JournalHeader& header)
{
    Reader in(bytes);
    return GetHeader(in, header);
}

bool DecodeJournal(std::string_view bytes, RunJournalData& journal)
{
    journal = RunJournalData();
    Reader in(bytes);
    if (!GetHeader(in, journal.header) || !GetMemory(in, journal.memory))
        return false;
    // Counts are checked against the bytes as they are read, never trusted for a reservation.
    for (std::uint32_t i = 0; i < journal.header.entryCount; ++i) {
        JournalEntry entry;
        if (!GetEntry(in, entry))
            return false;
        journal.entries.push_back(std::move(entry));
    }
    if (!EntriesRise(journal.entries))
        return false;
    for (std::uint32_t i = 0; i < journal.header.stepCount; ++i) {
        RunStep step;
        if (!GetStep(in, journal.header.root, journal.entries, step))
            return false;
        journal.steps.push_back(std::move(step));
    }
    return GetResults(in, journal) && in.AtEnd();
}

static void PutDigits(std::wstring& out, unsigned value, int width)
{
    std::wstring digits = std::to_wstring(value);
    if (digits.size() < static_cast<size_t>(width))
        out.append(static_cast<size_t>(width) - digits.size(), L'0');
    out += digits;
}

std::wstring JournalFileName(const SYSTEMTIME& utc)
{
    std::wstring name = kJournalPrefix;
    PutDigits(name, utc.wYear % 10000, 4);
    PutDigits(name, utc.wMonth, 2);
    PutDigits(name, utc.wDay, 2);
    name += L'-';
    PutDigits(name, utc.wHour, 2);
    PutDigits(name, utc.wMinute, 2);
    PutDigits(name, utc.wSecond, 2);
    name += L'-';
    PutDigits(name, utc.wMilliseconds, 3);
    return name + kJournalExtension;
}

bool ParseJournalFileName(std::wstring_view name, SYSTEMTIME& utc)
{
    // "Run-" 8 digits "-" 6 digits "-" 3 digits ".journal"
    static constexpr std::wstring_view kDigitsLayout = L"YYYYMMDD-hhmmss-fff";
    std::wstring_view prefix = kJournalPrefix;
    std::wstring_view extension = kJournalExtension;
    if (name.size() != prefix.size() + kDigitsLayout.size() + extension.size() ||
        !EqualsAsciiNoCase(name.substr(0, prefix.size()), prefix) ||
        !EqualsAsciiNoCase(name.substr(name.size() - extension.size()), extension))
        return false;
    std::wstring_view middle = name.substr(prefix.size(), kDigitsLayout.size());
    unsigned fields[7] = {};
    const wchar_t kFieldLetters[] = L"YMDhmsf";
    for (size_t i = 0; i < middle.size(); ++i) {
        if (kDigitsLayout[i] == L'-') {
            if (middle[i] != L'-')
                return false;
            continue;
        }
        if (middle[i] < L'0' || middle[i] > L'9')
            return false;
        size_t field = std::wstring_view(kFieldLetters).find(kDigitsLayout[i]);
        fields[field] = fields[field] * 10 + static_cast<unsigned>(middle[i] - L'0');
    }
    utc = SYSTEMTIME{};
    utc.wYear = static_cast<WORD>(fields[0]);
    utc.wMonth = static_cast<WORD>(fields[1]);
    utc.wDay = static_cast<WORD>(fields[2]);
    utc.wHour = static_cast<WORD>(fields[3]);
    utc.wMinute = static_cast<WORD>(fields[4]);
    utc.wSecond = static_cast<WORD>(fields[5]);
    utc.wMilliseconds = static_cast<WORD>(fields[6]);
    return true;
}

bool IsJournalFileName(std::wstring_view name)
{
    SYSTEMTIME unused;
    return ParseJournalFileName(name, unused);
}

size_t FindJournalEntry(const std::vector<JournalEntry>& entries, std::int32_t planIndex)
{
    return FindEntry(entries, planIndex);
}
