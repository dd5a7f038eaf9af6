// The photo readers on any bytes: JPEG segments, TIFF IFDs (and the raw variants' magic numbers),
// PNG chunks, picked by the first bytes as for a real file. Checks as in DetailsFuzz.h.
#include "DetailsFuzz.h"
#include "DetailsReader.h"
#include "PhotoReaders.h"

void FuzzOne(std::string_view input)
{
    FuzzDetails(input, [](ByteSource& source, unsigned wanted) {
        FileDetails details = ReadFileDetailsFrom(source, wanted & kWantPhotoDetails, L"jpg");
        if (details.format == DetailsFormat::Unknown && (wanted & kWantPhotoDetails) != 0)
            ReadTiffDetails(source, 0, source.Size(), TiffRole::Embedded, details.photo); // an EXIF block alone
        return details;
    });
}
