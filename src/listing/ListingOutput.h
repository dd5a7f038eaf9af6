// The open listing file with a write buffer, so that a long listing costs few write calls.
#pragma once

#include "StagedFile.h"

#include <string>
#include <string_view>

class ListingOutput {
public:
    explicit ListingOutput(StagedFile& file);
    ListingOutput(const ListingOutput&) = delete;
    ListingOutput& operator=(const ListingOutput&) = delete;

    // Once a write has failed nothing more is written: the listing cannot be whole any more.
    void Write(std::string_view bytes);
    bool Failed() const { return file_.failed(); }
    // Writes what is buffered; the system's error code of the first write that failed, else
    // ERROR_SUCCESS.
    DWORD Flush();

private:
    StagedFile& file_;
    std::string buffer_;
};
