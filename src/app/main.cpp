// Nomaro.exe: the thin executable around the application frame.
#include "StartUp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    return RunProgram(instance, showCommand);
}
