// Writes the listing of one folder to one file, for the checks that read listings with Unix tools.
//   listing_sample ROOT OUTPUT rtf|plain
#include "FileListing.h"

#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4)
        return 2;
    WriteListingFile(argv[1], argv[2], std::wcscmp(argv[3], L"plain") == 0, L"Consolas");
    return 0;
}
