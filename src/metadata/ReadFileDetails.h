// The Win32 side of the metadata readers: a file opened by its exact path for reading only, read
// in ranges as far as its metadata goes.
#pragma once

#include "FileDetails.h"

#include <string>

// The wanted values (kWantPhotoDetails, kWantMusicDetails) of the file at path, an exact
// \\?\ path. The file is opened for reading only, sharing reading, writing and deletion with others,
// and its reader is picked by its first bytes. A file that cannot be opened or read gives no
// values (format Unknown).
FileDetails ReadFileDetails(const std::wstring& path, unsigned wanted);
