#pragma once

#include "platform/gui/Rect.h"

#include <QPoint>
#include <cstdint>

class QImage;

// Alpha blending of 32-bit images whose pixels are the bytes blue, green, red,
// alpha in memory (QImage's RGB32, ARGB32 and ARGB32_Premultiplied). All four
// bytes are blended alike, alpha included, with 16-bit packed arithmetic:
// per byte t = ((a * (S - D) + 256 * D) mod 65536) >> 8, which is
// floor((a * S + (256 - a) * D) / 256); then the bias is added and the sum
// clamped to 0..255. The results are exact, whatever the instruction set.

enum TBlendMode {
    bmConstantAlpha, // one alpha for all pixels
    bmPerPixelAlpha, // each source pixel's own alpha byte
    bmMasterAlpha, // each source pixel's alpha scaled by the constant alpha
    bmConstantAlphaAndColor // the destination tinted towards one colour; no source
};

// The packed-integer blend is always available here; the tree and the chart ask
// this flag before they blend, as they did on processors without it.
inline constexpr bool HasMMX = true;

// Blends the rectangle R of Source into Destination with R's top-left corner at
// Target. In bmConstantAlphaAndColor, Bias carries the colour (0x00BBGGRR),
// Source and Target are ignored and R of Destination itself is tinted.
// ConstantAlpha is taken to 0..255 and Bias to -128..127. R and the target
// rectangle are clipped to both images; pixels outside them are left alone.
// Throws EGridTreeAssertion for an image without pixels or of another layout.
void AlphaBlend(const QImage &Source, QImage &Destination, const TRect &R, QPoint Target, TBlendMode Mode,
    int ConstantAlpha, int Bias);

// The line routines behind it: one run of Count pixels each.
void AlphaBlendLineConstant(
    const std::uint32_t *Source, std::uint32_t *Destination, int Count, int ConstantAlpha, int Bias);
void AlphaBlendLinePerPixel(const std::uint32_t *Source, std::uint32_t *Destination, int Count, int Bias);
void AlphaBlendLineMaster(
    const std::uint32_t *Source, std::uint32_t *Destination, int Count, int ConstantAlpha, int Bias);
void AlphaBlendLineMasterAndColor(
    std::uint32_t *Destination, int Count, int ConstantAlpha, std::uint32_t Color);
