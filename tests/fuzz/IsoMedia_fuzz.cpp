// The ISO base media reader on any bytes: HEIF and AVIF item tables, EXIF items, movie headers,
// iTunes tag lists. Checks as in DetailsFuzz.h.
#include "DetailsFuzz.h"
#include "MediaReaders.h"

void FuzzOne(std::string_view input)
{
    FuzzDetails(input, [](ByteSource& source, unsigned wanted) {
        FileDetails details;
        ReadIsoMediaDetails(source, wanted, details);
        return details;
    });
}
