// The folder a command-line argument names.
#include "FolderArgument.h"

std::wstring StripFolderArgument(std::wstring argument)
{
    bool hadBackslash = !argument.empty() && argument.back() == L'\\';
    if (hadBackslash)
        argument.pop_back();
    if (!argument.empty() && argument.back() == L'"')
        argument.pop_back();
    bool bareDrive = argument.size() == 2 && argument[1] == L':' &&
                     ((argument[0] >= L'A' && argument[0] <= L'Z') || (argument[0] >= L'a' && argument[0] <= L'z'));
    if (bareDrive)
        argument.push_back(L'\\');
    return argument;
}
