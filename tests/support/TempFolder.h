// A unique folder under the temp directory, removed with everything in it afterwards.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return path_; }
    // path() + "\" + relative
    std::wstring operator/(const std::wstring& relative) const;

    // Creates a file (and its folders) holding the given bytes.
    void WriteFile(const std::wstring& relative, const std::string& bytes = std::string()) const;
    void MakeFolder(const std::wstring& relative) const;

private:
    std::wstring path_;
};

std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool PathExists(const std::wstring& path);
// The names in a folder as the file system spells them, sorted.
std::vector<std::wstring> ListNames(const std::wstring& folder);
// Every path under root, relative to it, in the form .\A\b.txt, sorted.
std::vector<std::wstring> ListTree(const std::wstring& root);
void RemoveTree(const std::wstring& path);
std::string Narrow(const std::wstring& text);

// A folder whose subfolder A holds a link "up" that leads back to the folder itself: made in
// scratch with CreateSymbolicLinkW where the platform can, else the one the Wine test environment
// prepared (a Unix link, which Wine presents as the folder it leads to). Empty when neither exists.
std::wstring FolderWithLinkBack(const TempFolder& scratch);
// A folder the Wine test environment prepared from the Unix side (tests/support/wine-env), for
// what Windows programs cannot make; empty when there is none.
std::wstring PreparedFixture(const std::wstring& name);
