// The fixed pieces of a listing file and the composition of its lines; no disk access.
#pragma once

#include <string>
#include <string_view>

// A Windows metafile of a small document symbol, drawn in front of every line of an RTF listing.
extern const wchar_t ListingPicture[];

// Header, title and trailer of one listing format, already in the ANSI code page.
struct ListingFrame {
    std::string header;
    std::string title;
    std::string trailer;
};

// The RTF frame: the header holds the whole face name, however long it is.
ListingFrame RtfListingFrame(const std::wstring& faceName);
ListingFrame PlainListingFrame();

// What stands before and after the name on every folder line and every file line of one depth,
// already in the ANSI code page, so that a line is these pieces around the converted name.
struct ListingLineParts {
    std::string folderLead;
    std::string folderTail;
    std::string fileLead;
    std::string fileTail;
};

ListingLineParts BuildListingLineParts(int depth, bool plain);

// In RTF a backslash or a brace in a name would end or open a group: each gets a backslash in front.
std::wstring EscapeRtfName(std::wstring_view name);
