// The folder a command-line argument names, on any text: at most one trailing backslash and then
// one trailing double quote come off (a bare drive gets its backslash back); the \\?\ form made
// without a look at the disk is one, and shows as the folder again.
//
// The input: the argument as UTF-16 units, little-endian.
#include "ExtendedPath.h"
#include "FolderArgument.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    std::wstring argument = Utf16Units(InputBytes(data, size));
    std::wstring folder = StripFolderArgument(argument);

    std::wstring expected = argument;
    if (!expected.empty() && expected.back() == L'\\')
        expected.pop_back();
    if (!expected.empty() && expected.back() == L'"')
        expected.pop_back();
    bool bareDrive = expected.size() == 2 && expected[1] == L':' && ((expected[0] | 0x20) >= L'a' && (expected[0] | 0x20) <= L'z');
    Check(folder == (bareDrive ? expected + L'\\' : expected), "one backslash, then one quote, come off");
    Check(StripFolderArgument(folder).size() + 2 >= folder.size(), "stripping again takes at most two units");

    std::wstring extended;
    if (!PlainExtendedLengthPath(folder, extended))
        return 0;
    Check(IsExtendedLengthPath(extended), "the extended form has the prefix");
    if (IsExtendedLengthPath(folder)) {
        Check(extended == folder, "a path in the extended form stays as it is");
        return 0;
    }
    std::wstring shown = DisplayPath(extended);
    std::wstring trimmed = folder;
    while (trimmed.size() > 3 && trimmed.back() == L'\\')
        trimmed.pop_back();
    Check(shown == trimmed, "the extended form shows as the folder without its trailing backslashes");
    return 0;
}
