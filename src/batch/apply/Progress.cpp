// The progress arithmetic of a run.
#include "Progress.h"

#include <cmath>

std::int32_t ProgressPercent(std::int32_t runningIndex, std::int32_t progressTotal)
{
    if (progressTotal <= 0)
        return 100;
    double percent = std::ceil(static_cast<double>(runningIndex) / progressTotal * 100.0);
    return static_cast<std::int32_t>(percent);
}
