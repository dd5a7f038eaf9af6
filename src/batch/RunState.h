// The state of the batch run in progress, shared by the run, the numbering and the main window.
#pragma once

#include "OperationMode.h"

#include <cstdint>

struct RunState {
    bool RebootPending = false;
    bool BatchBusy = false;
    std::int32_t ProgressTotal = 0;
    std::int32_t RunningIndex = 0;
    std::int32_t ProgressShown = 0;
    // 32 bits wide: a start text above 65535 must start there, not at its value modulo 65536.
    std::uint32_t StartNumber = 0;
    // Kept between runs; 1 until the first Start.
    std::int32_t NumberWidth = 1;
};

extern RunState CurrentRun;
