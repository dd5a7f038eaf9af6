// The auxiliary windows in one include: hyperlink labels, the About dialog, the
// "Free Book" window, the help launcher and the shell openers they share.
#pragma once

#include "AboutDialog.h"
#include "HtmlHelp.h"
#include "OfferWindow.h"
#include "ShellOpen.h"
#include "StaticLink.h"
