// The bytes a listing must hold, spelled out piece by piece for the tests to compare against.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace expect {

inline const std::string Picture =
    R"({\pict\wmetafile8\picw344\pich318\picwgoal195\pichgoal180 0100090000039a00000000007100000000000400000003010800050000000b0200000000050000000c020c000d00030000001e000400000007010400040000000701040071000000410b2000cc000c000d00000000000c000d0000000000280000000d0000000c0000000100040000000000000000000000000000000000000000000000000000000000ffffff0000339900cc66000033339900ffcc99003399cc00cc99330099330000ffffcc000066cc0000000000000000000000000000000000000000001a00000000089000200000000008900045111111160890004511111116089000451111111608900145111111160890ff451111111608900145111111160890ff4511111116089001451111111608903f45111111160710012000000000311000040000002701ffff030000000000})";

inline const std::string RtfTitle =
    "{\\fi-360\\b\\fs36 Nomaro File Listing \\b0 \\par\\fs24 "
    "______________________________________________________________________ \\par\r\n\\par}\r\n";
inline const std::string RtfTrailer = "\\par}\r\n";
inline const std::string PlainTitle =
    "Nomaro File Listing\r\n______________________________________________________________________\r\n\r\n";
inline const std::string PlainTrailer = "\r\n";

inline std::string RtfHeader(const std::string& face)
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 " + face + ";}}\r\n";
}

inline std::string Indent(int depth)
{
    return std::string(static_cast<size_t>(depth) * 3, ' ');
}

inline std::string RtfFolder(int depth, const std::string& name)
{
    return "{" + Indent(depth) + Picture + " \\b " + name + "\\b0\\par }\r\n\r\n";
}

inline std::string RtfFile(int depth, const std::string& name)
{
    return "{" + Indent(depth) + Picture + "  " + name + "\\par }\r\n\r\n";
}

inline std::string PlainFolder(int depth, const std::string& name)
{
    return Indent(depth) + name + "\r\n";
}

inline std::string PlainFile(int depth, const std::string& name)
{
    return Indent(depth) + " " + name + "\r\n";
}

// A whole listing in Consolas or plain text around the given lines.
inline std::string RtfListing(const std::string& lines, const std::string& face = "Consolas")
{
    return RtfHeader(face) + RtfTitle + lines + RtfTrailer;
}

inline std::string PlainListing(const std::string& lines)
{
    return PlainTitle + lines + PlainTrailer;
}

} // namespace expect

// The names of a folder in the order the file system enumerates them, "." and ".." left out.
inline std::vector<std::wstring> EnumerationOrder(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*.*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

// The given names in the folder's enumeration order.
inline std::vector<std::wstring> InEnumerationOrder(const std::wstring& folder, std::initializer_list<std::wstring> names)
{
    std::vector<std::wstring> ordered;
    for (const std::wstring& name : EnumerationOrder(folder)) {
        for (const std::wstring& wanted : names) {
            if (name == wanted)
                ordered.push_back(name);
        }
    }
    return ordered;
}
