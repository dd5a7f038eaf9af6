// Prints what the readers read from each file named, one JSON line per file, into OUTPUT (UTF-8),
// for the check against exiftool and mutagen.
//   metadata_dump OUTPUT FILE...
#include "DetailsJson.h"
#include "ExtendedPath.h"
#include "PathParts.h"
#include "ReadFileDetails.h"

#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    FILE* output = _wfopen(argv[1], L"wb");
    if (output == nullptr)
        return 2;
    for (int i = 2; i < argc; ++i) {
        std::wstring path = ExtendedLengthPath(argv[i]);
        std::string line = DetailsJson(std::wstring(LastComponent(path)), ReadFileDetails(path, kWantAllDetails)) + "\n";
        std::fwrite(line.data(), 1, line.size(), output);
    }
    std::fclose(output);
    return 0;
}
