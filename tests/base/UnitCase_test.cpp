// Names folded as the file system folds them: unit by unit, to the platform's upper case.
#include "UnitCase.h"

#include <gtest/gtest.h>

TEST(UnitCase, NamesFoldUnitByUnitToTheirUpperCase)
{
    const struct {
        const wchar_t* name;
        const wchar_t* folded;
    } cases[] = {
        {L"Photo_1.jpg", L"PHOTO_1.JPG"},
        {L"[a]{b}@`", L"[A]{B}@`"},                        // the ASCII neighbours of the letters stay
        {L"\u00e9t\u00e9", L"\u00c9T\u00c9"},              // été
        {L"stra\u00dfe", L"STRA\u00dfE"},                  // ß has no upper case of one unit: it stays
        {L"\U00010428.txt", L"\U00010428.TXT"},            // halves of a pair are no letters
        {L"\u00ff\u0101", L"\u0178\u0100"},                // ÿ ā
    };
    for (const auto& c : cases) {
        std::wstring folded;
        FoldName(c.name, folded);
        EXPECT_EQ(folded, c.folded) << testing::PrintToString(std::wstring(c.name));
        EXPECT_EQ(FoldedName(c.name), c.folded);
    }
}
