#include "components/gui/AlphaBlend.h"

#include "components/GridTreeErrors.h"

#include <QImage>
#include <algorithm>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZELTRANO_BLEND_SIMD 1
#endif

namespace {

constexpr const char *BitmapNot32Bpp = "Alpha blending error: bitmap must use 32 bpp.";
constexpr const char *NoBitmap = "Alpha blending DC error: no bitmap available.";

// Where each pixel's alpha comes from.
enum class TAlphaOf { Constant, PerPixel, Master, Color };

// One byte of the blend; the unsigned wrap-around and the cut to 16 bits give
// the packed arithmetic's result exactly.
inline std::uint32_t BlendByte(std::uint32_t s, std::uint32_t d, std::uint32_t alpha, int bias)
{
    const std::uint32_t t = (alpha * (s - d) + 256u * d) & 0xFFFFu;
    return std::uint32_t(std::clamp(int(t >> 8) + bias, 0, 255));
}

inline std::uint32_t BlendPixel(std::uint32_t s, std::uint32_t d, std::uint32_t alpha, int bias)
{
    std::uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8)
        result |= BlendByte((s >> shift) & 0xFF, (d >> shift) & 0xFF, alpha, bias) << shift;
    return result;
}

#if ZELTRANO_BLEND_SIMD

// The same on packed 16-bit lanes, four pixels per step with SSE2 and eight with
// AVX2. Each step unpacks the bytes to lanes, blends
// ((a * (s - d) + (d << 8)) mod 65536) >> 8, adds the bias with saturation and
// packs back with unsigned saturation. The 256-bit unpack and pack work within
// each 128-bit half, so they restore the pixel order.
#define ZELTRANO_BLEND_STEPS(V, PFX, WIDTH)                                                                  \
    const V zero = PFX##_setzero_si##WIDTH();                                                                \
    const V constant = PFX##_set1_epi16(short(alpha));                                                       \
    const V biasLanes = PFX##_set1_epi16(short(bias));                                                       \
    const V colorLanes = PFX##_unpacklo_epi8(PFX##_set1_epi32(int(color)), zero);                            \
    constexpr int step = WIDTH / 32;                                                                         \
    int i = 0;                                                                                               \
    for (; i + step <= count; i += step) {                                                                   \
        const V d = PFX##_loadu_si##WIDTH(reinterpret_cast<const V *>(destination + i));                     \
        V sLow = colorLanes, sHigh = colorLanes;                                                             \
        if constexpr (Kind != TAlphaOf::Color) {                                                             \
            const V s = PFX##_loadu_si##WIDTH(reinterpret_cast<const V *>(source + i));                      \
            sLow = PFX##_unpacklo_epi8(s, zero);                                                             \
            sHigh = PFX##_unpackhi_epi8(s, zero);                                                            \
        }                                                                                                    \
        V aLow = constant, aHigh = constant;                                                                 \
        if constexpr (Kind == TAlphaOf::PerPixel || Kind == TAlphaOf::Master) {                              \
            aLow = PFX##_shufflehi_epi16(PFX##_shufflelo_epi16(sLow, 0xFF), 0xFF);                           \
            aHigh = PFX##_shufflehi_epi16(PFX##_shufflelo_epi16(sHigh, 0xFF), 0xFF);                         \
        }                                                                                                    \
        if constexpr (Kind == TAlphaOf::Master) {                                                            \
            aLow = PFX##_srli_epi16(PFX##_mullo_epi16(aLow, constant), 8);                                   \
            aHigh = PFX##_srli_epi16(PFX##_mullo_epi16(aHigh, constant), 8);                                 \
        }                                                                                                    \
        const V dLow = PFX##_unpacklo_epi8(d, zero);                                                         \
        const V dHigh = PFX##_unpackhi_epi8(d, zero);                                                        \
        V low = PFX##_srli_epi16(PFX##_add_epi16(PFX##_mullo_epi16(PFX##_sub_epi16(sLow, dLow), aLow),       \
                                     PFX##_slli_epi16(dLow, 8)),                                             \
            8);                                                                                              \
        V high = PFX##_srli_epi16(PFX##_add_epi16(PFX##_mullo_epi16(PFX##_sub_epi16(sHigh, dHigh), aHigh),   \
                                      PFX##_slli_epi16(dHigh, 8)),                                           \
            8);                                                                                              \
        low = PFX##_adds_epi16(low, biasLanes);                                                              \
        high = PFX##_adds_epi16(high, biasLanes);                                                            \
        PFX##_storeu_si##WIDTH(reinterpret_cast<V *>(destination + i), PFX##_packus_epi16(low, high));       \
    }                                                                                                        \
    return i;

// Returns the number of pixels done.
template <TAlphaOf Kind>
int BlendSse2(const std::uint32_t *source, std::uint32_t *destination, int count, int alpha, int bias,
    std::uint32_t color)
{
    ZELTRANO_BLEND_STEPS(__m128i, _mm, 128)
}

template <TAlphaOf Kind>
__attribute__((target("avx2"))) int BlendAvx2(const std::uint32_t *source, std::uint32_t *destination,
    int count, int alpha, int bias, std::uint32_t color)
{
    ZELTRANO_BLEND_STEPS(__m256i, _mm256, 256)
}

#undef ZELTRANO_BLEND_STEPS

bool HasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

#endif

// Blends a run: `color` is the pixel the colour mode blends towards (no source,
// no bias), `alpha` the constant or master alpha.
template <TAlphaOf Kind>
void BlendLine(const std::uint32_t *source, std::uint32_t *destination, int count, int alpha, int bias,
    std::uint32_t color)
{
    alpha = std::clamp(alpha, 0, 255);
    bias = Kind == TAlphaOf::Color ? 0 : std::clamp(bias, -128, 127);
    int i = 0;
#if ZELTRANO_BLEND_SIMD
    if (HasAvx2())
        i = BlendAvx2<Kind>(source, destination, count, alpha, bias, color);
    const std::uint32_t *rest = Kind == TAlphaOf::Color ? source : source + i;
    i += BlendSse2<Kind>(rest, destination + i, count - i, alpha, bias, color);
#endif
    for (; i < count; ++i) {
        const std::uint32_t s = Kind == TAlphaOf::Color ? color : source[i];
        std::uint32_t a = std::uint32_t(alpha);
        if constexpr (Kind == TAlphaOf::PerPixel)
            a = s >> 24;
        else if constexpr (Kind == TAlphaOf::Master)
            a = ((s >> 24) * a) >> 8;
        destination[i] = BlendPixel(s, destination[i], a, bias);
    }
}

} // namespace

void AlphaBlendLineConstant(
    const std::uint32_t *Source, std::uint32_t *Destination, int Count, int ConstantAlpha, int Bias)
{
    BlendLine<TAlphaOf::Constant>(Source, Destination, Count, ConstantAlpha, Bias, 0);
}

void AlphaBlendLinePerPixel(const std::uint32_t *Source, std::uint32_t *Destination, int Count, int Bias)
{
    BlendLine<TAlphaOf::PerPixel>(Source, Destination, Count, 0, Bias, 0);
}

void AlphaBlendLineMaster(
    const std::uint32_t *Source, std::uint32_t *Destination, int Count, int ConstantAlpha, int Bias)
{
    BlendLine<TAlphaOf::Master>(Source, Destination, Count, ConstantAlpha, Bias, 0);
}

void AlphaBlendLineMasterAndColor(
    std::uint32_t *Destination, int Count, int ConstantAlpha, std::uint32_t Color)
{
    // The colour's red, green and blue become the pixel's bytes R, G, B; its alpha byte 0.
    const std::uint32_t pixel = ((Color & 0xFF) << 16) | (Color & 0xFF00) | ((Color >> 16) & 0xFF);
    BlendLine<TAlphaOf::Color>(nullptr, Destination, Count, ConstantAlpha, 0, pixel);
}

namespace {

void CheckBitmap(const QImage &image)
{
    if (image.isNull())
        throw EGridTreeAssertion(NoBitmap);
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return;
    default:
        throw EGridTreeAssertion(BitmapNot32Bpp);
    }
}

TRect ImageBounds(const QImage &image)
{
    return Rect(0, 0, image.width(), image.height());
}

} // namespace

void AlphaBlend(const QImage &Source, QImage &Destination, const TRect &R, QPoint Target, TBlendMode Mode,
    int ConstantAlpha, int Bias)
{
    CheckBitmap(Destination);
    if (Mode == bmConstantAlphaAndColor) {
        const TRect area = IntersectRect(R, ImageBounds(Destination));
        if (area.IsEmpty())
            return;
        Destination.bits(); // detach once, before rows are taken
        for (int y = area.Top; y < area.Bottom; ++y) {
            auto *row = reinterpret_cast<std::uint32_t *>(Destination.scanLine(y)) + area.Left;
            AlphaBlendLineMasterAndColor(row, area.Width(), ConstantAlpha, std::uint32_t(Bias));
        }
        return;
    }

    CheckBitmap(Source);
    // Keep both the source and the target rectangle inside their images.
    const int dx = Target.x() - R.Left;
    const int dy = Target.y() - R.Top;
    const TRect inSource = IntersectRect(R, ImageBounds(Source));
    const TRect inTarget = IntersectRect(OffsetRect(inSource, dx, dy), ImageBounds(Destination));
    if (inTarget.IsEmpty())
        return;
    const TRect from = OffsetRect(inTarget, -dx, -dy);
    const int count = from.Width();

    Destination.bits();
    for (int y = 0; y < from.Height(); ++y) {
        const auto *s
            = reinterpret_cast<const std::uint32_t *>(Source.constScanLine(from.Top + y)) + from.Left;
        auto *d = reinterpret_cast<std::uint32_t *>(Destination.scanLine(inTarget.Top + y)) + inTarget.Left;
        switch (Mode) {
        case bmConstantAlpha:
            AlphaBlendLineConstant(s, d, count, ConstantAlpha, Bias);
            break;
        case bmPerPixelAlpha:
            AlphaBlendLinePerPixel(s, d, count, Bias);
            break;
        case bmMasterAlpha:
            AlphaBlendLineMaster(s, d, count, ConstantAlpha, Bias);
            break;
        case bmConstantAlphaAndColor:
            break;
        }
    }
}
