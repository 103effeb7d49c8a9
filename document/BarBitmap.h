#pragma once

#include <cstddef>
#include <cstdint>

class TBarBitmapCache;

// The cached bar image of a row: 32-bit pixels of exactly the bar's size, painted
// by the chart. The core only owns the memory; the chart wraps it without copying
// and accounts for it in a TBarBitmapCache, which frees the least recently drawn
// images when they grow beyond its cap. The image goes with its row.
//
// Every row carries one, and most never hold pixels: the row keeps a single
// pointer, and the size and the cache's bookkeeping live with the pixels.
class TBarBitmap {
public:
    TBarBitmap() = default;
    // A copy of a row carries no image: the cache is no data.
    TBarBitmap(const TBarBitmap &) { }
    TBarBitmap &operator=(const TBarBitmap &other);
    ~TBarBitmap() { Release(); }

    int Width() const;
    int Height() const;
    bool HasSize(int width, int height) const;
    std::uint32_t *Pixels();
    const std::uint32_t *Pixels() const;
    std::size_t Bytes() const;
    // What the painter drew the pixels for beyond the row's data (the selection
    // flash's step, say), so that it can tell a stale image without being told;
    // 0 for an image without pixels or new ones.
    int Look() const;
    void SetLook(int look);
    // Frees the pixels and leaves the cache that counts them.
    void Release();

private:
    friend class TBarBitmapCache;
    struct TImage;

    TImage *FImage = nullptr;
};

// The bar images of one chart in the order they were last drawn, with the bytes
// they hold. Giving an image pixels beyond the cap frees the least recently drawn
// others until the bytes fit again (never the image being given pixels).
class TBarBitmapCache {
public:
    static constexpr std::size_t DefaultCapBytes = std::size_t(64) * 1024 * 1024;

    explicit TBarBitmapCache(std::size_t capBytes = DefaultCapBytes)
        : FCapBytes(capBytes)
    { }
    // Frees every image it counts.
    ~TBarBitmapCache();
    TBarBitmapCache(const TBarBitmapCache &) = delete;
    TBarBitmapCache &operator=(const TBarBitmapCache &) = delete;

    // Gives `bitmap` width x height pixels of undefined content (keeping its memory
    // when the size is unchanged) and counts it as the most recently drawn.
    std::uint32_t *Allocate(TBarBitmap &bitmap, int width, int height);
    // The image was drawn: it becomes the most recently drawn.
    void Touch(TBarBitmap &bitmap);
    // Frees every image.
    void Clear();

    std::size_t Bytes() const { return FBytes; }
    std::size_t Count() const { return FCount; }
    std::size_t CapBytes() const { return FCapBytes; }
    // A new cap (the window changed size, say): the oldest images beyond it go.
    void SetCapBytes(std::size_t capBytes);

private:
    friend class TBarBitmap;

    void Link(TBarBitmap::TImage &image);
    void Unlink(TBarBitmap::TImage &image);
    void EvictBeyondCap(const TBarBitmap::TImage *keep);

    std::size_t FCapBytes;
    std::size_t FBytes = 0;
    std::size_t FCount = 0;
    TBarBitmap::TImage *FOldest = nullptr;
    TBarBitmap::TImage *FNewest = nullptr;
};
