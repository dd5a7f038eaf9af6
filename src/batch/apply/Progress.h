// The progress arithmetic of a run.
#pragma once

#include <cstdint>

// ceil(index / total * 100), divided first, then multiplied, in double precision.
std::int32_t ProgressPercent(std::int32_t runningIndex, std::int32_t progressTotal);
