// Pictures shipped in several sizes, one per display scale: the one to draw at a given size, and
// drawing it one to one or shrunk, never blown up where a larger one exists.
#include "DpiPicture.h"

namespace {
// The size of the variant drawn at percent, as tools/make-art and tools/make-images draw it.
SIZE PictureVariantSize(const PictureVariants& picture, int percent)
{
    return SIZE{MulDiv(picture.size100.cx, percent, 100), MulDiv(picture.size100.cy, percent, 100)};
}

const PictureVariant& PictureVariantCovering(const PictureVariants& picture, SIZE target)
{
    for (size_t i = 0; i < picture.count; ++i) {
        SIZE size = PictureVariantSize(picture, picture.variants[i].percent);
        if (size.cx >= target.cx && size.cy >= target.cy)
            return picture.variants[i];
    }
    return picture.variants[picture.count - 1];
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP description{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(description), &description))
        return SIZE{0, 0};
    return SIZE{description.bmWidth, description.bmHeight};
}
} // namespace

UniqueBitmap LoadPictureCovering(HINSTANCE module, const PictureVariants& picture, SIZE target)
{
    int id = PictureVariantCovering(picture, target).resourceId;
    return UniqueBitmap(
        static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
}

void DrawPicture(HDC dc, const RECT& target, HBITMAP picture)
{
    UniqueMemoryDc memory(CreateCompatibleDC(dc));
    if (!memory || !picture)
        return;
    SelectedObject selected(memory.get(), picture);
    SIZE size = BitmapSize(picture);
    int width = target.right - target.left;
    int height = target.bottom - target.top;
    if (size.cx == width && size.cy == height) {
        BitBlt(dc, target.left, target.top, width, height, memory.get(), 0, 0, SRCCOPY);
        return;
    }
    int earlierMode = SetStretchBltMode(dc, HALFTONE);
    // HALFTONE moves the brush origin; put it back where the system expects it.
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, target.left, target.top, width, height, memory.get(), 0, 0, size.cx, size.cy, SRCCOPY);
    SetStretchBltMode(dc, earlierMode);
}

UniqueBitmap LoadPictureAtSize(HINSTANCE module, const PictureVariants& picture, SIZE target)
{
    UniqueBitmap covering = LoadPictureCovering(module, picture, target);
    SIZE size = BitmapSize(covering.get());
    if (!covering || (size.cx == target.cx && size.cy == target.cy))
        return covering;
    HDC screen = GetDC(nullptr);
    if (!screen)
        return covering;
    ScopeExit releaseScreen([screen] { ReleaseDC(nullptr, screen); });
    UniqueBitmap shrunk(CreateCompatibleBitmap(screen, target.cx, target.cy));
    UniqueMemoryDc memory(CreateCompatibleDC(screen));
    if (!shrunk || !memory)
        return covering;
    {
        SelectedObject selected(memory.get(), shrunk.get());
        DrawPicture(memory.get(), RECT{0, 0, target.cx, target.cy}, covering.get());
    }
    return shrunk;
}
