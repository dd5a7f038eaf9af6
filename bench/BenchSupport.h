// What the benchmark programs share: the shape of the scratch trees, the clock, the memory
// counters and the one line each measuring program prints for tools/bench.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Every folder of a scratch tree holds at most this many entries: Wine looks a name up that is
// not there, or is there in another letter case, by reading the whole folder, so a flat folder of
// thousands would measure Wine rather than the program.
constexpr int kEntriesPerFolder = 100;

// The folder of a tree of folderCount folders that holds files number folder * 100 onwards:
// "ROOT\FOLDER 7", or "ROOT\GROUP 0\FOLDER 7" when there are more than 100 folders.
std::wstring TreeFolder(const std::wstring& root, int folder, int folderCount);
// The folders a tree of that many files needs.
int TreeFolderCount(int files);
// The folders and groups of such a tree, which a walk meets besides the files.
int TreeFolderEntries(int files);

// Creates an empty file; false when it exists already or cannot be made.
bool MakeFile(const std::wstring& path);
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
std::string ReadWholeFile(const std::wstring& path);
// Removes a folder and everything in it, read-only files included.
void RemoveTree(const std::wstring& path);

// The "\\?\" form of an absolute path, as the engine addresses entries.
std::wstring LongPath(const std::wstring& path);

class Stopwatch {
public:
    Stopwatch();
    double Seconds() const;

private:
    LARGE_INTEGER start_{};
};

// The most memory the process has held so far, in MiB.
double PeakMegabytes();
double PeakMegabytes(HANDLE process);

// The line tools/bench reads: "result seconds=... peak_mib=... journal_seconds=... entries=...".
void PrintResult(double seconds, double peakMegabytes, double journalSeconds, long long entries);

// The history and index files of a numbering run, in the program's own record format (32-bit
// little-endian integers, UTF-16LE strings with their length in front), written here so that
// the baselines do not borrow the program's code.
void PutRecordInt(std::string& out, std::uint32_t value);
void PutRecordString(std::string& out, const std::wstring& text);
std::vector<std::wstring> ReadRecordStrings(const std::string& bytes);
std::string HistoryBytes(const std::wstring& folder, std::uint32_t count, const std::wstring& indexFile);

// Command-line arguments after the fixed ones: "--name=Trip" gives "Trip" for "name".
std::wstring OptionValue(int argc, wchar_t** argv, const wchar_t* name, const std::wstring& fallback);
