#include "document/BarBitmap.h"

#include <new>

// One block: this header, then the pixels.
struct TBarBitmap::TImage {
    TBarBitmap *Owner;
    TBarBitmapCache *Cache = nullptr;
    // Neighbours in the cache's order of drawing (Prev: drawn earlier).
    TImage *Prev = nullptr;
    TImage *Next = nullptr;
    int Width;
    int Height;
    int Look = 0;

    std::size_t Bytes() const { return std::size_t(Width) * std::size_t(Height) * 4; }
    // The pixels start at the header's end rounded up to 16 bytes.
    static constexpr std::size_t PixelOffset
        = (sizeof(TBarBitmap *) * 4 + sizeof(int) * 3 + 15) & ~std::size_t(15);
    std::uint32_t *Pixels()
    {
        return reinterpret_cast<std::uint32_t *>(reinterpret_cast<char *>(this) + PixelOffset);
    }

    static TImage *Make(TBarBitmap &owner, int width, int height)
    {
        static_assert(PixelOffset >= sizeof(TImage));
        void *block = ::operator new(PixelOffset + std::size_t(width) * std::size_t(height) * 4);
        return new (block) TImage { &owner, nullptr, nullptr, nullptr, width, height };
    }
    static void Free(TImage *image)
    {
        image->~TImage();
        ::operator delete(image);
    }
};

int TBarBitmap::Width() const
{
    return FImage ? FImage->Width : 0;
}

int TBarBitmap::Height() const
{
    return FImage ? FImage->Height : 0;
}

bool TBarBitmap::HasSize(int width, int height) const
{
    return FImage && FImage->Width == width && FImage->Height == height;
}

std::uint32_t *TBarBitmap::Pixels()
{
    return FImage ? FImage->Pixels() : nullptr;
}

const std::uint32_t *TBarBitmap::Pixels() const
{
    return FImage ? FImage->Pixels() : nullptr;
}

std::size_t TBarBitmap::Bytes() const
{
    return FImage ? FImage->Bytes() : 0;
}

int TBarBitmap::Look() const
{
    return FImage ? FImage->Look : 0;
}

void TBarBitmap::SetLook(int look)
{
    if (FImage)
        FImage->Look = look;
}

TBarBitmap &TBarBitmap::operator=(const TBarBitmap &other)
{
    if (this != &other)
        Release();
    return *this;
}

void TBarBitmap::Release()
{
    if (!FImage)
        return;
    if (FImage->Cache)
        FImage->Cache->Unlink(*FImage);
    TImage::Free(FImage);
    FImage = nullptr;
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
        bitmap.FImage = TBarBitmap::TImage::Make(bitmap, width, height);
    }
    Touch(bitmap);
    EvictBeyondCap(bitmap.FImage);
    return bitmap.FImage->Pixels();
}

void TBarBitmapCache::Touch(TBarBitmap &bitmap)
{
    TBarBitmap::TImage *image = bitmap.FImage;
    if (!image || (image->Cache == this && FNewest == image))
        return;
    if (image->Cache)
        image->Cache->Unlink(*image);
    Link(*image);
}

void TBarBitmapCache::Clear()
{
    while (FOldest)
        FOldest->Owner->Release();
}

void TBarBitmapCache::Link(TBarBitmap::TImage &image)
{
    image.Cache = this;
    image.Prev = FNewest;
    image.Next = nullptr;
    (FNewest ? FNewest->Next : FOldest) = &image;
    FNewest = &image;
    FBytes += image.Bytes();
    ++FCount;
}

void TBarBitmapCache::Unlink(TBarBitmap::TImage &image)
{
    (image.Prev ? image.Prev->Next : FOldest) = image.Next;
    (image.Next ? image.Next->Prev : FNewest) = image.Prev;
    image.Prev = image.Next = nullptr;
    image.Cache = nullptr;
    FBytes -= image.Bytes();
    --FCount;
}

void TBarBitmapCache::EvictBeyondCap(const TBarBitmap::TImage *keep)
{
    while (FBytes > FCapBytes && FOldest && FOldest != keep)
        FOldest->Owner->Release();
}

void TBarBitmapCache::SetCapBytes(std::size_t capBytes)
{
    FCapBytes = capBytes;
    EvictBeyondCap(nullptr);
}
