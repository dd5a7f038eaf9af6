// The yardstick of tools/bench: the straightforward platform calls that give the same result as a
// Nomaro run, in the same order, and nothing else. None of Nomaro's own code is linked.
//   baseline_bench lower|upper ROOT       walk, then per entry MoveFileW, FindFirstFileW to see whether
//                                         the case change stuck, and two moves through a temporary name
//                                         when it did not
//   baseline_bench readonly ROOT          walk, then per entry the attribute read and, when read-only, write
//   baseline_bench number ROOT STATE --name=A [--width=6]
//                                         walk, then per file the attribute clear (when read-only) and one
//                                         move; then the index and history files in STATE
//   baseline_bench resumed ROOT STATE --name=Trip [--width=6]
//                                         the same after reading the history and index in STATE, leaving
//                                         out the files recorded there
//   baseline_bench preview ROOT           the walk, and the lower-case names worked out in memory
//   baseline_bench replace ROOT FROM TO   per entry whose name holds FROM one MoveFileExW to the name with
//                                         every FROM replaced by TO; only the moves are timed, the walk
//                                         comes before
//   baseline_bench read64k ROOT           per file one open for reading, one read of its first 64 KiB and
//                                         the close; only those are timed, the walk comes before
//   baseline_bench listing-plain|listing-rtf ROOT OUTPUT
//                                         one enumeration per folder and the buffered writes of the listing
// Each entry is addressed by its exact "\\?\" path, a renamed folder's children under its new name.
// Prints one "result" line (the seconds of the work, its peak working set).
#include "BenchSupport.h"

#include "UniqueHandle.h"

#include <cstdio>
#include <cwchar>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

struct Entry {
    int parent; // index of the folder entry holding it, -1 for the root
    std::wstring name;
    DWORD attributes;
};

bool IsDots(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// Pre-order, each folder before its contents, in the file system's order.
void Walk(const std::wstring& folder, int parent, std::vector<Entry>& entries)
{
    WIN32_FIND_DATAW found;
    UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!find)
        return;
    do {
        if (IsDots(found.cFileName))
            continue;
        entries.push_back(Entry{parent, found.cFileName, found.dwFileAttributes});
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            Walk(folder + L"\\" + found.cFileName, static_cast<int>(entries.size()) - 1, entries);
    } while (FindNextFileW(find.get(), &found));
}

std::wstring ChangeCase(std::wstring name, bool upper)
{
    for (wchar_t& c : name) {
        if (upper && c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
        else if (!upper && c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return name;
}

long long CaseRun(const std::wstring& root, bool upper)
{
    std::vector<Entry> entries;
    Walk(root, -1, entries);
    std::vector<std::wstring> now(entries.size()); // each folder's path once it has its new name
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        std::wstring folder = entry.parent < 0 ? root : now[static_cast<size_t>(entry.parent)];
        std::wstring oldPath = folder + L"\\" + entry.name;
        std::wstring newName = ChangeCase(entry.name, upper);
        std::wstring newPath = folder + L"\\" + newName;
        now[i] = oldPath;
        if (newName == entry.name)
            continue;
        if (!MoveFileW(oldPath.c_str(), newPath.c_str()))
            continue;
        WIN32_FIND_DATAW found;
        UniqueFind check(FindFirstFileW(newPath.c_str(), &found));
        if (check && newName != found.cFileName) {
            std::wstring temporary = folder + L"\\" + newName + L".~case";
            if (!MoveFileW(oldPath.c_str(), temporary.c_str()) || !MoveFileW(temporary.c_str(), newPath.c_str()))
                continue;
        }
        now[i] = newPath;
    }
    return static_cast<long long>(entries.size());
}

long long ReadOnlyRun(const std::wstring& root)
{
    std::vector<Entry> entries;
    Walk(root, -1, entries);
    std::vector<std::wstring> paths(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        paths[i] = (entry.parent < 0 ? root : paths[static_cast<size_t>(entry.parent)]) + L"\\" + entry.name;
        DWORD attributes = GetFileAttributesW(paths[i].c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            SetFileAttributesW(paths[i].c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
    }
    return static_cast<long long>(entries.size());
}

std::wstring Folded(std::wstring text)
{
    return ChangeCase(std::move(text), true);
}

// The files a numbering run takes, by their paths relative to the root (".\FOLDER 0\a.jpg").
struct NumberingFile {
    std::wstring folder; // relative
    std::wstring name;
    DWORD attributes;
};

void WalkFiles(const std::wstring& root, const std::wstring& relative, const std::unordered_set<std::wstring>& recorded,
               std::vector<NumberingFile>& files)
{
    WIN32_FIND_DATAW found;
    UniqueFind find(FindFirstFileW((root + relative.substr(1) + L"\\*").c_str(), &found));
    if (!find)
        return;
    do {
        if (IsDots(found.cFileName))
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            WalkFiles(root, relative + L"\\" + found.cFileName, recorded, files);
            continue;
        }
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
            continue;
        if (!recorded.empty() && recorded.count(Folded(relative + L"\\" + found.cFileName)))
            continue;
        files.push_back(NumberingFile{relative, found.cFileName, found.dwFileAttributes});
    } while (FindNextFileW(find.get(), &found));
}

std::wstring NumberedName(const std::wstring& name, const std::wstring& text, unsigned long long number, int width)
{
    std::wstring digits = std::to_wstring(number);
    if (digits.size() < static_cast<size_t>(width))
        digits.insert(0, static_cast<size_t>(width) - digits.size(), L'0');
    std::wstring newName = text + digits;
    size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot + 1 < name.size()) {
        std::wstring extension = name.substr(dot + 1);
        CharLowerBuffW(extension.data(), static_cast<DWORD>(extension.size()));
        newName += L"." + extension;
    }
    return newName;
}

long long NumberRun(const std::wstring& root, const std::wstring& state, const std::wstring& text, int width, bool resume)
{
    std::wstring historyPath = state + L"\\Nomaro.stdb";
    std::wstring indexPath = state + L"\\baseline.idx";
    std::vector<std::wstring> recordedPaths;
    unsigned long long start = 0;
    if (resume) {
        std::string history = ReadWholeFile(historyPath);
        std::vector<std::wstring> fields = ReadRecordStrings(history.size() >= 4 ? history.substr(4) : std::string());
        if (fields.size() >= 2) {
            for (int i = 3; i >= 0; --i)
                start = start << 8 | static_cast<unsigned char>(history[static_cast<size_t>(i)]);
            indexPath = fields[1];
        }
        recordedPaths = ReadRecordStrings(ReadWholeFile(indexPath));
    }
    std::unordered_set<std::wstring> recorded;
    for (const std::wstring& path : recordedPaths)
        recorded.insert(Folded(path));

    std::vector<NumberingFile> files;
    WalkFiles(root, L".", recorded, files);
    std::string index;
    for (const std::wstring& path : recordedPaths)
        PutRecordString(index, path);
    for (size_t i = 0; i < files.size(); ++i) {
        const NumberingFile& file = files[i];
        std::wstring folder = root + file.folder.substr(1) + L"\\";
        std::wstring oldPath = folder + file.name;
        std::wstring newName = NumberedName(file.name, text, start + i, width);
        if (file.attributes & FILE_ATTRIBUTE_READONLY)
            SetFileAttributesW(oldPath.c_str(), file.attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
        MoveFileW(oldPath.c_str(), (folder + newName).c_str());
        PutRecordString(index, file.folder + L"\\" + newName);
    }
    WriteWholeFile(indexPath, index);
    WriteWholeFile(historyPath,
                   HistoryBytes(root, static_cast<std::uint32_t>(recordedPaths.size() + files.size()), indexPath));
    return static_cast<long long>(files.size());
}

long long PreviewRun(const std::wstring& root)
{
    std::vector<Entry> entries;
    Walk(root, -1, entries);
    std::vector<std::wstring> newNames;
    newNames.reserve(entries.size());
    for (const Entry& entry : entries)
        newNames.push_back(ChangeCase(entry.name, false));
    return static_cast<long long>(newNames.size());
}

std::wstring Replaced(std::wstring name, const std::wstring& from, const std::wstring& to)
{
    for (size_t at = name.find(from); at != std::wstring::npos; at = name.find(from, at + to.size()))
        name.replace(at, from.size(), to);
    return name;
}

long long ReplaceRun(const std::wstring& root, const std::wstring& from, const std::wstring& to, Stopwatch& clock)
{
    std::vector<Entry> entries;
    Walk(root, -1, entries);
    clock = Stopwatch();
    std::vector<std::wstring> now(entries.size()); // each folder's path once it has its new name
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        std::wstring folder = entry.parent < 0 ? root : now[static_cast<size_t>(entry.parent)];
        now[i] = folder + L"\\" + entry.name;
        std::wstring newName = Replaced(entry.name, from, to);
        if (newName == entry.name)
            continue;
        std::wstring newPath = folder + L"\\" + newName;
        if (MoveFileExW(now[i].c_str(), newPath.c_str(), 0))
            now[i] = newPath;
    }
    return static_cast<long long>(entries.size());
}

const char kPicture[] =
    "{\\pict\\wmetafile8\\picw344\\pich318\\picwgoal195\\pichgoal180 "
    "0100090000039a00000000007100000000000400000003010800050000000b0200000000050000000c020c000d000300"
    "00001e000400000007010400040000000701040071000000410b2000cc000c000d00000000000c000d00000000002800"
    "00000d0000000c0000000100040000000000000000000000000000000000000000000000000000000000ffffff000033"
    "9900cc66000033339900ffcc99003399cc00cc99330099330000ffffcc000066cc000000000000000000000000000000"
    "0000000000001a0000000008900020000000000890004511111116089000451111111608900045111111160890014511"
    "1111160890ff451111111608900145111111160890ff4511111116089001451111111608903f45111111160710012000"
    "000000311000040000002701ffff030000000000"
    "}";

class Listing {
public:
    Listing(const std::wstring& output, bool plain)
        : file_(CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr)),
          plain_(plain)
    {
        std::string rule(70, '_');
        if (plain_) {
            Put("Nomaro File Listing\r\n" + rule + "\r\n\r\n");
        } else {
            Put("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Consolas;}}\r\n");
            Put("{\\fi-360\\b\\fs36 Nomaro File Listing \\b0 \\par\\fs24 " + rule + " \\par\r\n\\par}\r\n");
        }
    }
    ~Listing()
    {
        Put(plain_ ? "\r\n" : "\\par}\r\n");
        Flush();
    }

    long long Lines() const { return lines_; }

    // One enumeration: the subfolders with their trees first, then the files.
    void ListFolder(const std::wstring& folder, int depth)
    {
        std::vector<std::wstring> folders;
        std::vector<std::wstring> files;
        {
            WIN32_FIND_DATAW found;
            UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &found));
            if (!find)
                return;
            do {
                if (!IsDots(found.cFileName))
                    (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? folders : files).push_back(found.cFileName);
            } while (FindNextFileW(find.get(), &found));
        }
        std::string indent(static_cast<size_t>(depth) * 3, ' ');
        std::string lead = plain_ ? indent : "{" + indent + kPicture + " ";
        std::string tail = plain_ ? "" : "\\par }\r\n";
        lines_ += static_cast<long long>(folders.size() + files.size());
        for (const std::wstring& name : folders) {
            Put(lead + (plain_ ? "" : "\\b ") + Ansi(name) + (plain_ ? "" : "\\b0") + tail + "\r\n");
            ListFolder(folder + L"\\" + name, depth + 1);
        }
        for (const std::wstring& name : files)
            Put(lead + " " + Ansi(name) + tail + "\r\n");
    }

private:
    std::string Ansi(const std::wstring& name) const
    {
        std::wstring escaped;
        for (wchar_t c : name) {
            if (!plain_ && (c == L'\\' || c == L'{' || c == L'}'))
                escaped += L'\\';
            escaped += c;
        }
        int size = WideCharToMultiByte(CP_ACP, 0, escaped.data(), static_cast<int>(escaped.size()), nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<size_t>(size), '\0');
        WideCharToMultiByte(CP_ACP, 0, escaped.data(), static_cast<int>(escaped.size()), bytes.data(), size, nullptr, nullptr);
        return bytes;
    }
    void Put(const std::string& bytes)
    {
        buffer_ += bytes;
        if (buffer_.size() >= 64 * 1024)
            Flush();
    }
    void Flush()
    {
        DWORD written = 0;
        if (!buffer_.empty())
            WriteFile(file_.get(), buffer_.data(), static_cast<DWORD>(buffer_.size()), &written, nullptr);
        buffer_.clear();
    }

    UniqueFile file_;
    bool plain_;
    std::string buffer_;
    long long lines_ = 0;
};

int Usage()
{
    std::fprintf(stderr, "usage: baseline_bench lower|upper|readonly|preview ROOT | number|resumed ROOT STATE --name=TEXT"
                         " | listing-plain|listing-rtf ROOT OUTPUT | replace ROOT FROM TO | read64k ROOT\n");
    return 2;
}

// What reading the photo and music values of each file is measured against.
long long ReadFirstBytesRun(const std::wstring& root, Stopwatch& clock)
{
    std::vector<Entry> entries;
    Walk(root, -1, entries);
    std::vector<std::wstring> paths(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        paths[i] = (entry.parent < 0 ? root : paths[static_cast<size_t>(entry.parent)]) + L"\\" + entry.name;
    }
    std::vector<char> buffer(64 * 1024);
    long long files = 0;
    clock = Stopwatch();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].attributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        UniqueFile file(CreateFileW(paths[i].c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD read = 0;
        if (file && ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
            ++files;
    }
    return files;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return Usage();
    std::wstring mode = argv[1];
    std::wstring root = LongPath(argv[2]);
    long long entries = 0;
    Stopwatch clock;
    if (mode == L"lower" || mode == L"upper") {
        entries = CaseRun(root, mode == L"upper");
    } else if (mode == L"readonly") {
        entries = ReadOnlyRun(root);
    } else if ((mode == L"number" || mode == L"resumed") && argc >= 4) {
        std::wstring text = OptionValue(argc, argv, L"name", L"Trip");
        int width = std::stoi(OptionValue(argc, argv, L"width", L"6"));
        entries = NumberRun(root, argv[3], text, width, mode == L"resumed");
    } else if (mode == L"preview") {
        entries = PreviewRun(root);
    } else if (mode == L"replace" && argc >= 5) {
        entries = ReplaceRun(root, argv[3], argv[4], clock);
    } else if (mode == L"read64k") {
        entries = ReadFirstBytesRun(root, clock);
    } else if ((mode == L"listing-plain" || mode == L"listing-rtf") && argc >= 4) {
        Listing listing(argv[3], mode == L"listing-plain");
        listing.ListFolder(root, 0);
        entries = listing.Lines();
    } else {
        return Usage();
    }
    double seconds = clock.Seconds();
    PrintResult(seconds, PeakMegabytes(), 0, entries);
    return 0;
}
