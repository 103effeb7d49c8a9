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
    EvictBeyondCap(&bitmap);
    return bitmap.FPixels.get();
}

void TBarBitmapCache::Touch(TBarBitmap &bitmap)
{
    if (!bitmap.FPixels || (bitmap.FCache == this && FNewest == &bitmap))
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
    (bitmap.FPrev ? bitmap.FPrev->FNext : FOldest) = bitmap.FNext;
    (bitmap.FNext ? bitmap.FNext->FPrev : FNewest) = bitmap.FPrev;
    bitmap.FPrev = bitmap.FNext = nullptr;
    bitmap.FCache = nullptr;
    FBytes -= bitmap.Bytes();
    --FCount;
}

void TBarBitmapCache::EvictBeyondCap(const TBarBitmap *keep)
{
    while (FBytes > FCapBytes && FOldest && FOldest != keep)
        FOldest->Release();
}

void TBarBitmapCache::SetCapBytes(std::size_t capBytes)
{
    FCapBytes = capBytes;
    EvictBeyondCap(nullptr);
}
