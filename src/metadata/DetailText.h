// Texts and numbers as tags hold them: UTF-8, Latin-1 and UTF-16 bytes made UTF-16 (each cut at
// kMaxDetailTextUnits, a bad sequence becoming U+FFFD), and the numbers and dates inside texts.
#pragma once

#include "FileDetails.h"

#include <cstdint>
#include <string>
#include <string_view>

// Each bad or cut-off UTF-8 sequence becomes one U+FFFD; characters beyond the BMP become pairs.
std::wstring TextFromUtf8(std::string_view bytes);
// Latin-1 as Windows writes it (code page 1252): 0x80-0x9F are its euro sign, quotes and dashes,
// as exiftool reads them, rather than control characters no name can hold.
std::wstring TextFromLatin1(std::string_view bytes);
// UTF-8 when the bytes are UTF-8, else Latin-1 as above: EXIF's ASCII texts, which exiftool
// writes in UTF-8 and older cameras and programs in their code page.
std::wstring TextFromUtf8OrLatin1(std::string_view bytes);
// UTF-16 units from byte pairs (an odd last byte left out); a lone surrogate becomes U+FFFD.
std::wstring TextFromUtf16(std::string_view bytes, bool bigEndian);

// The text up to its first NUL, without blanks at its ends (tags pad with blanks and NULs).
std::wstring TrimmedText(std::wstring text);

// The number a text begins with after blanks ("3/12" gives 3, " 07" gives 7); 0 when none or
// when it does not fit 32 bits.
std::uint32_t LeadingNumber(std::wstring_view text);
// The year a date text begins with ("2026", "2026-07-14T09:31"): four digits, else 0.
std::uint32_t LeadingYear(std::wstring_view text);

// An EXIF date "YYYY:MM:DD HH:MM:SS" as exiftool reads one with -d: any other character between
// the fields ("2026-07-14T09:31:05", "2026.07.14 09.31.05"), a blank for a field's leading zero,
// a time left blank (midnight, without a fraction), a zone after it ignored. The fraction of the second is the date's
// own (".25") or else the digits a SubSecTime text begins with, as exiftool's
// SubSecDateTimeOriginal combines them. A date that is blank, zero, cut short or out of range
// (February 30th, 24:00) gives no time.
DetailTime ExifTime(std::string_view date, std::string_view subSeconds);
// Seconds since 1904-01-01 00:00 UTC, as QuickTime and MP4 headers count; 0 gives no time.
DetailTime TimeFrom1904(std::uint64_t seconds);

// The text up to its first NUL (tags end a value, or separate several, with one).
std::wstring TextBeforeNul(std::wstring text);
