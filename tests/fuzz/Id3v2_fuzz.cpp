// The MP3 tag reader on any bytes: ID3v2 2.2 to 2.4 (unsynchronisation, extended headers, every
// text encoding), else ID3v1. Checks as in DetailsFuzz.h.
#include "DetailsFuzz.h"
#include "MediaReaders.h"

void FuzzOne(std::string_view input)
{
    FuzzDetails(input, [](ByteSource& source, unsigned wanted) {
        FileDetails details;
        if ((wanted & kWantMusicDetails) != 0)
            ReadMp3Details(source, details.music);
        return details;
    });
}
