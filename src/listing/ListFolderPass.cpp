// One pass over one folder of a listing: its subfolders with their subtrees, or its files.
#include "ListFolderPass.h"

#include "ListingFormat.h"
#include "base/FolderWalk.h"
#include "base/Win32Text.h"

#include <vector>

namespace {

bool IsFolder(DWORD attributes)
{
    // A failed query yields all bits, so an entry that vanished counts as a folder.
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void WriteLine(ListingOutput& output, const std::string& lead, std::wstring_view name, const std::string& tail, bool plain)
{
    output.Write(lead);
    output.Write(ToAnsi(plain ? std::wstring(name) : EscapeRtfName(name)));
    output.Write(tail);
}

void ListFiles(const std::wstring& folder, ListingOutput& output, int depth, bool plain)
{
    if (output.Failed())
        return;
    WIN32_FIND_DATAW found;
    UniqueFind find(FindFirstFileW(JoinPath(folder, L"*.*").c_str(), &found));
    if (!find)
        return;
    ListingLineParts parts = BuildListingLineParts(depth, plain);
    do {
        if (IsDotEntry(found.cFileName))
            continue;
        // Attributes come from the entry's path, as the folders pass takes them, so that both passes
        // agree on what is a folder and every entry gets exactly one line.
        if (!IsFolder(GetFileAttributesW(JoinPath(folder, found.cFileName).c_str())))
            WriteLine(output, parts.fileLead, found.cFileName, parts.fileTail, plain);
    } while (!output.Failed() && FindNextFileW(find.get(), &found));
}

// The walk keeps its own stack, so a tree as deep as paths allow cannot overflow the thread's
// stack, and a link back to a folder on the walk path is listed but not entered again.
void ListFolders(const std::wstring& folder, ListingOutput& output, int depth, bool plain)
{
    // The line pieces of each folder on the walk path, built once per folder.
    std::vector<ListingLineParts> levels;
    FolderWalk walk;
    walk.onFolderVisit = [&](const std::wstring&, int walkDepth) {
        levels.push_back(BuildListingLineParts(depth + walkDepth, plain));
    };
    walk.onEntry = [&](const WalkEntry& entry) {
        // A listing that can no longer be written whole is not walked any further.
        if (!IsFolder(entry.attributes) || output.Failed())
            return false;
        const ListingLineParts& parts = levels.back();
        WriteLine(output, parts.folderLead, entry.name, parts.folderTail, plain);
        return true;
    };
    walk.onFolderDone = [&](const std::wstring& done, int walkDepth) {
        levels.pop_back();
        // A folder's files follow its subfolders' trees; the starting folder's own files are
        // its caller's files pass.
        if (walkDepth > 0)
            ListFiles(done, output, depth + walkDepth, plain);
    };
    RunFolderWalk(folder, walk);
}

} // namespace

void ListFolderPass(const std::wstring& folder, ListingOutput& output, int depth, ListingPass pass, bool plain)
{
    if (pass == ListingPass::Folders)
        ListFolders(folder, output, depth, plain);
    else
        ListFiles(folder, output, depth, plain);
}
