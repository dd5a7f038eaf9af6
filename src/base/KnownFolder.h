// Where Windows keeps one of its known folders for the user.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include <string>

// The folder's path, made when it does not exist yet; empty when Windows cannot say.
std::wstring KnownFolderPath(REFKNOWNFOLDERID folder);
