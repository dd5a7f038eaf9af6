// The identity of a file or folder: its volume and its index on that volume. Two paths name the
// same entry when their identities match, whatever the spelling or the links on the way.
#pragma once

#include <windows.h>

#include <string>

struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool known = false;

    // False when either identity is unknown: an unknown identity matches nothing.
    bool SameAs(const FileIdentity& other) const
    {
        return known && other.known && volume == other.volume && indexHigh == other.indexHigh &&
               indexLow == other.indexLow;
    }
};

// Opens the entry without access rights and sharing everything, so that a file held open by another
// program or a folder can be read too. Unknown when the entry cannot be opened or its index is 0.
FileIdentity ReadFileIdentity(const std::wstring& path);
