// Pictures shipped in several sizes, one per display scale: the one to draw at a given size, and
// drawing it one to one or shrunk, never blown up where a larger one exists.
#pragma once

#include "UniqueHandle.h"

#include <windows.h>

#include <cstddef>

// One drawing of a picture: resourceId is the picture drawn at percent of its 100 % size.
struct PictureVariant {
    int percent;
    int resourceId;
};

// The pictures of one picture, smallest first; size100 is its size at 100 %.
struct PictureVariants {
    const PictureVariant* variants;
    size_t count;
    SIZE size100;
};

// The smallest variant that covers target in both directions, else the largest, loaded from the
// module.
UniqueBitmap LoadPictureCovering(HINSTANCE module, const PictureVariants& picture, SIZE target);
// The picture at exactly target: the covering variant, shrunk when it is larger.
UniqueBitmap LoadPictureAtSize(HINSTANCE module, const PictureVariants& picture, SIZE target);

// Draws the whole picture onto target: one to one when the sizes agree, else stretched with
// HALFTONE, which averages the pixels it drops instead of picking some.
void DrawPicture(HDC dc, const RECT& target, HBITMAP picture);
