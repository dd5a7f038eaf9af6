// High contrast: whether the user has it on, and the colours that replace the program's fixed
// colours then.
#include "HighContrast.h"

namespace {
int Override = -1;
}

bool HighContrastOn()
{
    if (Override >= 0)
        return Override != 0;
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

COLORREF ThemeColour(COLORREF normal, int systemColour)
{
    return HighContrastOn() ? GetSysColor(systemColour) : normal;
}

COLORREF LinkTextColour()
{
    return ThemeColour(RGB(0, 0, 255), COLOR_HOTLIGHT);
}

void OverrideHighContrastForTest(int on)
{
    Override = on;
}
