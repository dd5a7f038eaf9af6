// The fixed pieces of a listing file and the composition of its lines; no disk access.
#include "ListingFormat.h"

#include "Win32Text.h"

const wchar_t ListingPicture[] =
    LR"({\pict\wmetafile8\picw344\pich318\picwgoal195\pichgoal180 )"
    L"0100090000039a00000000007100000000000400000003010800050000000b0200000000050000000c020c000d000300"
    L"00001e000400000007010400040000000701040071000000410b2000cc000c000d00000000000c000d00000000002800"
    L"00000d0000000c0000000100040000000000000000000000000000000000000000000000000000000000ffffff000033"
    L"9900cc66000033339900ffcc99003399cc00cc99330099330000ffffcc000066cc000000000000000000000000000000"
    L"0000000000001a0000000008900020000000000890004511111116089000451111111608900045111111160890014511"
    L"1111160890ff451111111608900145111111160890ff4511111116089001451111111608903f45111111160710012000"
    L"000000311000040000002701ffff030000000000"
    L"}";

namespace {

constexpr int IndentPerDepth = 3;
// The rule under the heading.
constexpr size_t RuleLength = 70;

} // namespace

ListingFrame RtfListingFrame(const std::wstring& faceName)
{
    ListingFrame frame;
    frame.header = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 ";
    frame.header += ToAnsi(faceName);
    frame.header += ";}}\r\n";
    frame.title = "{\\fi-360\\b\\fs36 Nomaro File Listing \\b0 \\par\\fs24 ";
    frame.title.append(RuleLength, '_');
    frame.title += " \\par\r\n\\par}\r\n";
    frame.trailer = "\\par}\r\n";
    return frame;
}

ListingFrame PlainListingFrame()
{
    ListingFrame frame;
    frame.title = "Nomaro File Listing\r\n";
    frame.title.append(RuleLength, '_');
    frame.title += "\r\n\r\n";
    frame.trailer = "\r\n";
    return frame;
}

ListingLineParts BuildListingLineParts(int depth, bool plain)
{
    std::wstring indent(static_cast<size_t>(depth) * IndentPerDepth, L' ');
    std::wstring prefix;
    std::wstring suffix;
    if (plain) {
        prefix = indent;
    } else {
        prefix.reserve(1 + indent.size() + std::char_traits<wchar_t>::length(ListingPicture) + 1);
        prefix.append(1, L'{').append(indent).append(ListingPicture).append(1, L' ');
        suffix = L"\\par }\r\n";
    }
    ListingLineParts parts;
    parts.folderLead = ToAnsi(plain ? prefix : prefix + L"\\b ");
    parts.folderTail = ToAnsi(plain ? suffix + L"\r\n" : L"\\b0" + suffix + L"\r\n");
    parts.fileLead = ToAnsi(prefix + L" ");
    parts.fileTail = ToAnsi(suffix + L"\r\n");
    return parts;
}

std::wstring EscapeRtfName(std::wstring_view name)
{
    std::wstring escaped;
    escaped.reserve(name.size());
    for (wchar_t c : name) {
        if (c == L'\\' || c == L'{' || c == L'}')
            escaped += L'\\';
        escaped += c;
    }
    return escaped;
}
