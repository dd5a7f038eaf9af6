// Writes the seed corpus of every reader with the real writers: history and index files, begun
// and ended journals of the sample run the journal tests use (and the first format's), files
// ending with and without a tag, setting values as the settings are stored, and folder arguments.
//   make-fuzz-seeds FOLDER   (FOLDER/READER/NAME for each seed)
#include "FuzzInput.h"
#include "HistoryFormat.h"
#include "Id3v1Bytes.h"
#include "JournalBytes.h"
#include "JournalVersion1.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

namespace {

std::filesystem::path seeds;

void Write(const std::string& reader, const std::string& name, const std::string& bytes)
{
    std::filesystem::create_directories(seeds / reader);
    std::ofstream(seeds / reader / name, std::ios::binary) << bytes;
}

void HistorySeeds()
{
    const std::wstring index0 = L"C:\\Tools\\20240101000000.idx";
    const std::wstring index1 = L"C:\\Tools\\20240101000001.idx";
    const std::wstring none;
    PathList one;
    Append(one, L"C:\\Photos", 5, &index0);
    Write("history", "one-record", EncodeHistory(one));
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

    std::string version1;
    for (const char* digit = kVersion1EndedJournalHex; digit[0] && digit[1]; digit += 2)
        version1.push_back(static_cast<char>(std::stoi(std::string(digit, 2), nullptr, 16)));
    Write("journal", "version1-ended", version1);
}

// The size, the text's length, the text, then the file's last bytes.
std::string FileEnd(std::uint64_t size, const std::string& text, const std::string& tail)
{
    std::string bytes;
    for (int i = 0; i < 8; ++i)
        bytes.push_back(static_cast<char>((size >> (8 * i)) & 0xFF));
    bytes.push_back(static_cast<char>(text.size()));
    return bytes + text + tail;
}

void TagSeeds()
{
    Id3v1Tag tagged = ComposeId3v1Tag("TAG", "Trip000001");
    Write("id3v1", "tagged", FileEnd(1128, "Trip000002", std::string(tagged.begin(), tagged.end())));
    Id3v1Tag lower = ComposeId3v1Tag("tAg", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd");
    Write("id3v1", "lower-case-header", FileEnd(628, "P1", std::string(lower.begin(), lower.end())));
    Write("id3v1", "untagged", FileEnd(1000, "Trip1", std::string(128, 'a')));
    Write("id3v1", "short", FileEnd(50, "Trip1", ""));
    Write("id3v1", "unread-end", FileEnd(500, "\xC9t\xE9", ""));
}

// The capacity, then the bytes as the writers store them.
void SettingSeeds()
{
    auto text = [](const std::wstring& value) { return Utf16Bytes(value) + std::string(2, '\0'); };
    Write("settings", "tag", std::string(1, char(128)) + text(L"Trip"));
    Write("settings", "number", std::string(1, char(14)) + text(L"000000"));
    Write("settings", "extensions", std::string(1, char(255)) + text(L"jpg,gif,png,bmp,mp3"));
    Write("settings", "dword", std::string(1, char(0)) + std::string("\x05\0\0\0", 4));
    Write("settings", "dword-as-text", std::string(1, char(0)) + std::string("5\0\0\0", 4));
    Write("settings", "odd", std::string(1, char(2)) + std::string("abc", 3));
}

void ArgumentSeeds()
{
    const wchar_t* arguments[] = {L"D:\\My Photos\"", L"C:\\", L"C:", L"\\\\server\\share\\dir\\", L"\\\\?\\C:\\x",
                                  L"relative\\path", L"C:\\a\\.\\b", L"C:\\Photos\\\\"};
    int i = 0;
    for (const wchar_t* argument : arguments)
        Write("commandline", "argument" + std::to_string(++i), Utf16Bytes(argument));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make-fuzz-seeds FOLDER\n";
        return 2;
    }
    seeds = argv[1];
    HistorySeeds();
    JournalSeeds();
    TagSeeds();
    SettingSeeds();
    ArgumentSeeds();
    return 0;
}
