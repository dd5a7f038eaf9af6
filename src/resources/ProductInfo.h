// The product's name, maker, copyright, address and web site: the one place both the
// resource scripts and the C++ code take them from. Narrow UTF-8 literals, so that the
// resource compiler can read them; C++ widens them with L"" in front.
#pragma once

#include "Version.h"

#define NOMARO_PRODUCT_NAME "Nomaro"
#define NOMARO_PRODUCT_LINE NOMARO_PRODUCT_NAME " " NOMARO_VERSION_TEXT
#define NOMARO_PRODUCT_SUBTITLE "Bulk renaming for whole folders"
#define NOMARO_MAKER_NAME "Kestrith"
#define NOMARO_COPYRIGHT_LINE "Copyright © 2026 " NOMARO_MAKER_NAME
// Shown on the links; NOMARO_WEBSITE_URL is what they open.
#define NOMARO_WEBSITE_TEXT "nomaro.kestrith.com"
#define NOMARO_WEBSITE_URL "https://nomaro.kestrith.com/"
#define NOMARO_ADDRESS_BUILDING "Studio 12, Old Mill"
#define NOMARO_ADDRESS_STREET "7 Millrace Yard"
#define NOMARO_ADDRESS_TOWN "Ashbourne Vale AV2 9KT"
#define NOMARO_ADDRESS_COUNTRY "England"
