// The readers of photos: TIFF's IFDs (TIFF and the raw formats built on them, and the EXIF block
// that JPEG, PNG and HEIF files carry), JPEG's segments and PNG's chunks. Each reads only what
// leads to the values, and a value it cannot read stays empty.
#pragma once

#include "ByteSource.h"
#include "FileDetails.h"

#include <cstdint>

// How far one TIFF structure is followed: IFDs visited, entries read from one IFD.
constexpr int kMaxTiffDirectories = 32;
constexpr std::uint32_t kMaxTiffEntries = 1024;

// Whether the TIFF structure is the file itself (its IFD0 or a full-size sub-image gives the
// pixel size) or an EXIF block inside another format (whose own header gives the size).
enum class TiffRole { File, Embedded };

// Reads the TIFF structure at [base, base + length) of source, whose offsets count from base:
// Make and Model (IFD0, else the EXIF IFD), DateTimeOriginal and SubSecTimeOriginal (the EXIF
// IFD, else IFD0), the pixel size.
// Accepts TIFF's "II*\0" and "MM\0*" and the raw variants' own magic numbers (ORF's "IIRO",
// "IIRS" and "MMOR", RW2's "IIU\0"). False when there is no such structure there.
bool ReadTiffDetails(ByteSource& source, std::uint64_t base, std::uint64_t length, TiffRole role,
                     PhotoDetails& photo);

// A JPEG: its first APP1 "Exif" segment that holds a TIFF structure and its frame header (SOF),
// up to its image data.
void ReadJpegDetails(ByteSource& source, PhotoDetails& photo);
// A PNG: IHDR for the size and the eXIf chunk, walked by the chunks' headers up to the image data;
// an eXIf chunk after the image data (ImageMagick puts it there) is found among the last bytes.
void ReadPngDetails(ByteSource& source, PhotoDetails& photo);
