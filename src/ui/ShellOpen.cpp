// Opening documents and web addresses with the shell's "open" verb.
#include "ShellOpen.h"

#include "ProductInfo.h"

#include <windows.h>
#include <shellapi.h>

void OpenWithShell(const std::wstring& target)
{
    ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void OpenMakerWebSite()
{
    OpenWithShell(L"" NOMARO_WEBSITE_URL);
}
