// Opening documents and web addresses with the shell, as the user's double click would.
#pragma once

#include <string>

// The shell's answer (no browser, no viewer, missing file) is the shell's business.
void OpenWithShell(const std::wstring& target);
// The maker's web site, opened by the About and Free Book links and by Help > More Free Software.
void OpenMakerWebSite();
