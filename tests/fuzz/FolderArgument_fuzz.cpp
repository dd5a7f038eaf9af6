// The folder a command-line argument names, on any text: at most one trailing backslash and then
// one trailing double quote come off (a bare drive gets its backslash back); the \\?\ form made
// without a look at the disk is one, and shows as the folder again.
//
// The input: the argument as UTF-16 units, little-endian.
#include "ExtendedPath.h"
#include "FolderArgument.h"
#include "FuzzInput.h"

void FuzzOne(std::string_view input)
{
    std::wstring argument = Utf16Units(input);
    std::wstring folder = StripFolderArgument(argument);

    std::wstring expected = argument;
    for (wchar_t last : {L'\\', L'"'})
        if (!expected.empty() && expected.back() == last)
            expected.pop_back();
    bool bareDrive =
        expected.size() == 2 && expected[1] == L':' && (expected[0] | 0x20) >= L'a' && (expected[0] | 0x20) <= L'z';
    Check(folder == (bareDrive ? expected + L'\\' : expected), "one backslash, then one quote, come off");

    std::wstring extended;
    if (!PlainExtendedLengthPath(folder, extended))
        return;
    Check(IsExtendedLengthPath(extended), "the extended form has the prefix");
    if (IsExtendedLengthPath(folder)) {
        Check(extended == folder, "a path in the extended form stays as it is");
        return;
    }
    std::wstring shown = DisplayPath(extended);
    std::wstring trimmed = folder;
    while (trimmed.size() > 3 && trimmed.back() == L'\\')
        trimmed.pop_back();
    Check(shown == trimmed, "the extended form shows as the folder without its trailing backslashes");
}
