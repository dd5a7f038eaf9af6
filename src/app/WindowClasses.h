// The program's three window classes.
#pragma once

#include <windows.h>

// Registers Nomaro_MainForm, Nomaro_FreeBook and Nomaro_DragDrop in that order;
// stops at the first failure.
bool RegisterWindowClasses(HINSTANCE instance);
