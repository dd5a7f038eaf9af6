// The listing of a folder tree as plain text or RTF.
#include "FileListing.h"

#include "ExtendedPath.h"
#include "ListFolderPass.h"
#include "ListingFormat.h"
#include "ListingOutput.h"

ListingResult WriteListingFile(const std::wstring& rootFolder, const std::wstring& outputFile, bool plain,
                               const std::wstring& fontFace)
{
    // Others may write to the file while it is open; the listing lists itself when it lies in the tree.
    UniqueFile file(CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return ListingResult{GetLastError()};
    // Every entry is reached through the \\?\ form: by its exact name (a trailing dot or blank, a
    // device name such as CON.TXT) and at any depth. The walk never changes the current directory.
    const std::wstring root = ExtendedLengthPath(rootFolder);
    ListingOutput output(std::move(file));
    ListingFrame frame = plain ? PlainListingFrame() : RtfListingFrame(fontFace);
    output.Write(frame.header);
    output.Write(frame.title);
    ListFolderPass(root, output, 0, ListingPass::Folders, plain);
    ListFolderPass(root, output, 0, ListingPass::Files, plain);
    output.Write(frame.trailer);
    return ListingResult{output.Close()};
}
