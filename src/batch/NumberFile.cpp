// Sequential renaming of one file and the ID3v1 tag of renamed MP3 files.
#include "NumberFile.h"

// Filled in with the numbering mode.
void NumberFile(HWND, const std::wstring&, PathList&) {}
void StampId3v1Tag(const std::wstring&, const std::wstring&) {}
