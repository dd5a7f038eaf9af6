// Writes the seed corpus with the real writers: history and index files, the begun and the ended
// journal of the sample run the journal tests use, and file ends with and without a tag, so that
// each target starts from sound records whatever its format becomes. The command line and the
// setting values have no writer of their own: their seed folders are made empty (tools/fuzz reads
// one for every reader), and tests/fuzz/corpus holds their inputs.
//   make-fuzz-seeds FOLDER   (FOLDER/READER/NAME for each seed)
#include "ByteCodec.h"
#include "HistoryFormat.h"
#include "Id3v1Bytes.h"
#include "JournalBytes.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

namespace {

std::filesystem::path seeds;

void Write(const std::string& reader, const std::string& name, const std::string& bytes)
{
    std::ofstream(seeds / reader / name, std::ios::binary) << bytes;
}

void HistorySeeds()
{
    const std::wstring index0 = L"C:\\Tools\\20240101000000.idx";
    const std::wstring index1 = L"C:\\Tools\\20240101000001.idx";
    const std::wstring none;
    PathList many;
    Append(many, L"C:\\Photos", 7, &index0);
    Append(many, L"\\\\server\\share\\Music", -1, &index1);
    Append(many, L"D:\\" + std::wstring(1020, L'x'), 65536, &none);
    Write("history", "three-records", EncodeHistory(many));

    PathList entries;
    for (const wchar_t* path : {L".\\000000.jpg", L".\\sub\\000001.jpg", L".\\\x00C9T\x00C9.mp3"})
        Append(entries, path);
    std::int32_t written = 0;
    Write("index", "three-entries", EncodeIndex(nullptr, entries, written));
}

// The file's size, the text's length, the text, then the file's last bytes, as the target reads them.
std::string FileEnd(std::uint64_t size, const std::string& text, const std::string& tail)
{
    std::string bytes;
    ByteWriter out(bytes);
    out.U64(size);
    out.U8(static_cast<std::uint8_t>(text.size()));
    out.Raw(text);
    out.Raw(tail);
    return bytes;
}

void TagSeeds()
{
    Id3v1Tag tagged = ComposeId3v1Tag("TAG", "Trip000001");
    Write("id3v1", "tagged", FileEnd(1128, "Trip000002", std::string(tagged.begin(), tagged.end())));
    Write("id3v1", "untagged", FileEnd(1000, "Trip1", std::string(128, 'a')));
    Write("id3v1", "short", FileEnd(50, "Trip1", ""));
}

// The sample run of the journal tests: a numbering run with a chain through a temporary name, a
// read-only MP3 whose tag is replaced, one whose tag is appended and a case-only folder move.
void JournalSeeds()
{
    const std::wstring root = L"\\\\?\\C:\\Photos";
    HeaderRecord header;
    header.mode = ModeNumber;
    header.entryCount = 3;
    header.stepCount = 7;
    header.time = 0x01D9123456789ABCull;
    header.root = root;
    JournalMemory memory;
    memory.historyFile = L"C:\\Tools\\Nomaro.stdb";
    memory.history = {KeptState::Present, 0, std::string("\x01\0\0\0hist", 8)};
    memory.indexFile = L"C:\\Tools\\20240101000000.idx";
    memory.index = {KeptState::Absent, 0, {}};
    memory.favoritesOrder = {KeptState::Present, 3, std::string("\0\x01\x02", 3)};
    KeptTag replaced{TagChange::Replaced, 4872, "tag" + std::string(125, 'o'), "tag" + std::string(125, 'n')};
    KeptTag appended{TagChange::Appended, 10, {}, "TAG" + std::string(125, 'x')};
    auto step = [&](std::uint8_t kind, std::int32_t entry, const std::wstring& path, const std::wstring& newPath = {},
                    const std::wstring& temporaryPath = {}, std::uint32_t attributes = 0) {
        return StepRecord{kind, entry, root + path, newPath.empty() ? newPath : root + newPath,
                          temporaryPath.empty() ? temporaryPath : root + temporaryPath, attributes};
    };
    const std::uint8_t clear = 0, tag = 1, move = kMoveStepKind;
    std::vector<StepRecord> steps = {
        step(move, 0, L"\\SUB", L"\\sub", L"\\~t1.tmp"),
        step(clear, 2, L"\\sub\\A.MP3", {}, {}, 0x21),
        step(tag, 2, L"\\sub\\A.MP3"),
        step(move, 2, L"\\sub\\A.MP3", L"\\sub\\~cycle.tmp"),
        step(tag, 7, L"\\b.mp3"),
        step(move, 7, L"\\b.mp3", L"\\T1.mp3"),
        step(move, 2, L"\\sub\\~cycle.tmp", L"\\sub\\T0.mp3"),
    };
    std::string begun;
    PutJournalStart(begun);
    PutHeaderRecord(begun, header);
    PutMemoryRecord(begun, memory);
    PutEntryRecord(begun, 0, true, 0, 0, nullptr);
    PutEntryRecord(begun, 2, false, 5000, 77, &replaced);
    PutEntryRecord(begun, 7, false, 10, 0, &appended);
    for (const StepRecord& record : steps)
        PutStepRecord(begun, root, record);
    std::string ended = begun;
    PutBegunEnd(begun);
    Write("journal", "begun", begun);

    std::vector<ResultRecord> results(steps.size());
    results[0] = {0, 0, {}};
    results[5] = {1, 32, {}};
    results[6] = {2, 5, root + L"\\sub\\~cycle.tmp"};
    MarkJournalEnded(ended, steps.size());
    PutEndRecord(ended, results, [&steps](size_t i) { return steps[i].path; }, {{7, 138, 99}});
    Write("journal", "ended", ended);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make-fuzz-seeds FOLDER\n";
        return 2;
    }
    seeds = argv[1];
    // The metadata readers' seeds are files made by real tools, kept in tests/fuzz/corpus.
    for (const char* reader : {"history", "index", "journal", "id3v1", "commandline", "settings", "exif", "isobmff",
                               "id3v2", "vorbis"})
        std::filesystem::create_directories(seeds / reader);
    HistorySeeds();
    JournalSeeds();
    TagSeeds();
    return 0;
}
