// The Vorbis comment readers on any bytes: FLAC's metadata blocks, Ogg pages put together into
// the comment header, or a comment list alone. Checks as in DetailsFuzz.h.
#include "DetailsFuzz.h"
#include "MediaReaders.h"

void FuzzOne(std::string_view input)
{
    FuzzDetails(input, [](ByteSource& source, unsigned wanted) {
        FileDetails details;
        if ((wanted & kWantMusicDetails) == 0)
            return details;
        std::string first = ReadBytes(source, 0, 4);
        if (first == "fLaC" || first == "ID3\x04" || first == "ID3\x03")
            ReadFlacDetails(source, details.music);
        else if (first == "OggS")
            ReadOggDetails(source, details.music);
        else {
            SourceStream stream(source, 0, source.Size());
            ReadVorbisComments(stream, details.music);
        }
        return details;
    });
}
