// The Favorites menu's custom order: deleted by a Favorites run, kept before and put back by Undo.
#pragma once

#include "KeptBytes.h"

#include <windows.h>

extern const wchar_t kFavoritesOrderKey[];
extern const wchar_t kFavoritesOrderValue[];

// root is HKEY_CURRENT_USER for the user's own menu; tests pass a key of their own.

// The value as it is now, or Absent. False when it exists but cannot be read.
bool ReadFavoritesOrder(HKEY root, KeptBytes& kept);
// Writes a kept value back (type and bytes); an Absent or NotKept one changes nothing.
bool RestoreFavoritesOrder(HKEY root, const KeptBytes& kept);
// Makes the Favorites menu forget its custom order.
void DeleteFavoritesOrder(HKEY root);
