// The listing of a folder tree as plain text or RTF.
#include "FileListing.h"

#include "ExtendedPath.h"
#include "ListFolderPass.h"
#include "ListingFormat.h"
#include "ListingOutput.h"
#include "PathParts.h"
#include "UniqueHandle.h"

// Where the listing's temporary file lies, as the walk of the tree would spell it.
static ListingSelf SelfOf(const StagedFile& file)
{
    ListingSelf self;
    std::wstring temporary = ExtendedLengthPath(file.temporaryPath());
    self.folder = std::wstring(FolderPart(temporary));
    self.temporaryName = std::wstring(LastComponent(temporary));
    self.finalName = std::wstring(LastComponent(file.target()));
    DWORD attributes = GetFileAttributesW(file.target().c_str());
    self.replacesOlder = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    return self;
}

// An older file that cannot be replaced (held open by an editor, read-only) is told before the
// tree is walked, with the reason the system gives for it.
static DWORD CheckReplaceable(const std::wstring& outputFile)
{
    UniqueFile older(CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD error = older ? ERROR_SUCCESS : GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
}

ListingResult WriteListingFile(const std::wstring& rootFolder, const std::wstring& outputFile, bool plain,
                               const std::wstring& fontFace)
{
    if (DWORD error = CheckReplaceable(outputFile))
        return ListingResult{error};
    // Written beside the chosen file and put in its place only when whole: a listing that does not
    // fit (a full disk) leaves an older listing as it was and no cut one under the name.
    StagedFile file(outputFile);
    if (file.failed())
        return ListingResult{file.error()};
    // Every entry is reached through the \\?\ form: by its exact name (a trailing dot or blank, a
    // device name such as CON.TXT) and at any depth. The walk never changes the current directory.
    const std::wstring root = ExtendedLengthPath(rootFolder);
    const ListingSelf self = SelfOf(file);
    ListingOutput output(file);
    ListingFrame frame = plain ? PlainListingFrame() : RtfListingFrame(fontFace);
    output.Write(frame.header);
    output.Write(frame.title);
    ListFolderPass(root, output, 0, ListingPass::Folders, plain, self);
    ListFolderPass(root, output, 0, ListingPass::Files, plain, self);
    output.Write(frame.trailer);
    output.Flush();
    return ListingResult{file.PutInPlace()};
}
