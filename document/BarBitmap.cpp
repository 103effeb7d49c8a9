#include "document/BarBitmap.h"

TBarBitmap &TBarBitmap::operator=(const TBarBitmap &other)
{
    if (this != &other)
        Release();
    return *this;
}

void TBarBitmap::Release()
{
    if (FCache)
        FCache->Unlink(*this);
    FPixels.reset();
    FWidth = 0;
    FHeight = 0;
}

TBarBitmapCache::~TBarBitmapCache()
{
    Clear();
}

std::uint32_t *TBarBitmapCache::Allocate(TBarBitmap &bitmap, int width, int height)
{
    if (width <= 0 || height <= 0) {
        bitmap.Release();
        return nullptr;
    }
    if (!bitmap.HasSize(width, height)) {
        bitmap.Release();
        bitmap.FPixels = std::make_unique_for_overwrite<std::uint32_t[]>(std::size_t(width) * height);
        bitmap.FWidth = width;
        bitmap.FHeight = height;
    }
    Touch(bitmap);
    if (FPaints == 0)
        EvictBeyondCap(bitmap);
    return bitmap.FPixels.get();
}

void TBarBitmapCache::Touch(TBarBitmap &bitmap)
{
    if (!bitmap.FPixels || (bitmap.FCache == this && FNewest == &bitmap && FPaintMark != &bitmap))
        return;
    if (bitmap.FCache)
        bitmap.FCache->Unlink(bitmap);
    Link(bitmap);
}

void TBarBitmapCache::Clear()
{
    while (FOldest)
        FOldest->Release();
}

void TBarBitmapCache::Link(TBarBitmap &bitmap)
{
    bitmap.FCache = this;
    bitmap.FPrev = FNewest;
    bitmap.FNext = nullptr;
    (FNewest ? FNewest->FNext : FOldest) = &bitmap;
    FNewest = &bitmap;
    FBytes += bitmap.Bytes();
    ++FCount;
}

void TBarBitmapCache::Unlink(TBarBitmap &bitmap)
{
    if (FPaintMark == &bitmap)
        FPaintMark = bitmap.FPrev;
    (bitmap.FPrev ? bitmap.FPrev->FNext : FOldest) = bitmap.FNext;
    (bitmap.FNext ? bitmap.FNext->FPrev : FNewest) = bitmap.FPrev;
    bitmap.FPrev = bitmap.FNext = nullptr;
    bitmap.FCache = nullptr;
    FBytes -= bitmap.Bytes();
    --FCount;
}

void TBarBitmapCache::EvictBeyondCap(const TBarBitmap &keep)
{
    while (FBytes > FCapBytes && FOldest && FOldest != &keep)
        FOldest->Release();
}

void TBarBitmapCache::SetCapBytes(std::size_t capBytes)
{
    FCapBytes = capBytes;
    if (FPaints == 0)
        while (FBytes > FCapBytes && FOldest)
            FOldest->Release();
}

TBarBitmapCache::TPaintScope::TPaintScope(TBarBitmapCache &cache)
    : FCache(cache)
{
    FCache.BeginPaint();
}

TBarBitmapCache::TPaintScope::~TPaintScope()
{
    FCache.EndPaint();
}

void TBarBitmapCache::BeginPaint()
{
    if (FPaints++ == 0)
        FPaintMark = FNewest;
}

void TBarBitmapCache::EndPaint()
{
    if (--FPaints > 0)
        return;
    // Only images the paint did not draw go: they are the oldest, up to the mark.
    while (FBytes > FCapBytes && FPaintMark)
        FOldest->Release();
    FPaintMark = nullptr;
}
