#include "components/gui/HeaderStream.h"

#include "components/GridTreeErrors.h"
#include "components/StreamIO.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeView.h"

#include <algorithm>
#include <cmath>
#include <numeric>

using namespace GridTreeTexts;

namespace {

constexpr int32_t Marker = -1;
// A column without texts: two lengths, ten fields, Tag and Alignment (version
// 1 on), Color (version 2 on); and its entry in the position array.
qint64 MinColumnSize(int Version)
{
    return 4 * (2 + 10 + (Version > 0 ? 2 : 0) + (Version > 1 ? 1 : 0) + 1);
}

// Pixel measures beyond what a window can show are refused (a maximum is
// taken as "no limit" and cut down), so that sums of widths and heights stay
// within an int; so is a font bigger than any caption, and a percentage
// outside 0 .. 100.
constexpr int MaxPixels = 1 << 24;
constexpr int MaxFontPixels = 1000;

[[noreturn]] void Invalid()
{
    ShowError(QString::fromLatin1(HeaderInvalid), 0);
}

int ReadMeasure(TStreamReader &Stream, int Limit = MaxPixels)
{
    const int32_t value = Stream.ReadInt32();
    if (value < -Limit || value > Limit)
        Invalid();
    return value;
}

int ReadMaximum(TStreamReader &Stream)
{
    return std::min(Stream.ReadInt32(), MaxPixels);
}

int ReadPercent(TStreamReader &Stream)
{
    const int32_t value = Stream.ReadInt32();
    if (value < 0 || value > 100)
        Invalid();
    return value;
}

// An enumeration's ordinal, refused outside its Count values.
template <typename E> E ReadOrdinal(TStreamReader &Stream, int Count)
{
    const int32_t value = Stream.ReadInt32();
    if (value < 0 || value >= Count)
        Invalid();
    return E(value);
}

QString ReadText(TStreamReader &Stream)
{
    return Stream.ReadUtf16(Stream.ReadInt32());
}

void WriteText(TStreamWriter &Stream, const QString &Text)
{
    Stream.WriteInt32(int32_t(Text.size()));
    Stream.WriteUtf16(Text);
}

// Column options of older records moved to the places they have now.
TGTColumnOptions ColumnOptions(uint32_t Bits, int Version)
{
    if (Version == 2)
        Bits &= ~0xFF00u;
    else if (Version < 2)
        Bits = (Bits & 0x0Fu) | ((Bits & 0x70u) << 1) | ((Bits & ~0x7FFFu) << 1);
    return TGTColumnOptions::fromBits(uint16_t(Bits & ((1u << (coUseCaptionAlignment + 1)) - 1)));
}

TColumnRecord ReadColumn(TStreamReader &Stream, int Version)
{
    TColumnRecord c;
    c.Text = ReadText(Stream);
    c.Hint = ReadText(Stream);
    c.Width = ReadMeasure(Stream);
    c.MinWidth = ReadMeasure(Stream);
    c.MaxWidth = ReadMaximum(Stream);
    c.Style = ReadOrdinal<TGridTreeColumnStyle>(Stream, 2);
    c.ImageIndex = Stream.ReadInt32();
    c.Layout = ReadOrdinal<TGTHeaderColumnLayout>(Stream, 4);
    c.Margin = ReadMeasure(Stream);
    c.Spacing = ReadMeasure(Stream);
    c.BiDiMode = ReadOrdinal<TBiDiMode>(Stream, 4);
    c.Options = ColumnOptions(Stream.ReadUInt32(), Version);
    if (Version > 0) {
        c.Tag = Stream.ReadInt32();
        c.Alignment = ReadOrdinal<TAlignment>(Stream, 3);
    }
    if (Version > 1)
        c.Color = Stream.ReadUInt32();
    if (Version > 5 && c.Options.contains(coUseCaptionAlignment))
        c.CaptionAlignment = ReadOrdinal<TAlignment>(Stream, 3);
    return c;
}

void WriteColumn(TStreamWriter &Stream, const TColumnRecord &c)
{
    WriteText(Stream, c.Text);
    WriteText(Stream, c.Hint);
    for (const int32_t value : { c.Width, c.MinWidth, c.MaxWidth, int(c.Style), c.ImageIndex, int(c.Layout),
             c.Margin, c.Spacing, int(c.BiDiMode), int(c.Options.bits()), c.Tag, int(c.Alignment) })
        Stream.WriteInt32(value);
    Stream.WriteUInt32(c.Color);
    if (c.Options.contains(coUseCaptionAlignment))
        Stream.WriteInt32(c.CaptionAlignment);
}

} // namespace

// ---- font --------------------------------------------------------------------------------

THeaderFontRecord THeaderFontRecord::FromFont(const QFont &Font, TColor Color)
{
    THeaderFontRecord r;
    r.Color = Color;
    // 0 (the default size) for a font without any size.
    const int pixels = Font.pixelSize() > 0 ? Font.pixelSize()
                                            : int(std::nearbyint(std::max(Font.pointSizeF(), 0.0) * 96 / 72));
    r.Height = -pixels;
    r.Name = Font.family();
    r.Pitch = Font.fixedPitch() ? 2 : 0;
    r.Style = (Font.bold() ? 1 : 0) | (Font.italic() ? 2 : 0) | (Font.underline() ? 4 : 0)
        | (Font.strikeOut() ? 8 : 0);
    return r;
}

QFont THeaderFontRecord::ToFont() const
{
    QFont font(Name);
    if (Height != 0)
        font.setPixelSize(std::abs(Height));
    font.setFixedPitch(Pitch == 2);
    font.setBold(Style & 1);
    font.setItalic(Style & 2);
    font.setUnderline(Style & 4);
    font.setStrikeOut(Style & 8);
    return font;
}

// ---- column block ------------------------------------------------------------------------------

TColumnBlock ReadColumnBlock(TStreamReader &Stream, int Version)
{
    TColumnBlock block;
    const int32_t count = Stream.ReadInt32();
    if (count < 0)
        Invalid();
    if (count > Stream.BytesLeft() / MinColumnSize(Version))
        Stream.Short();
    block.Columns.reserve(std::size_t(count));
    // The widths the columns will take, side by side, must fit a window.
    int64_t total = 0;
    for (int32_t i = 0; i < count; ++i) {
        const TColumnRecord &c = block.Columns.emplace_back(ReadColumn(Stream, Version));
        const int64_t least = std::max(c.MinWidth, 0);
        total += std::clamp<int64_t>(c.Width, least, std::max<int64_t>(c.MaxWidth, least));
        if (total > MaxPixels)
            Invalid();
    }
    if (count > 0) {
        // Every column at exactly one position.
        std::vector<bool> placed(std::size_t(count), false);
        for (int32_t i = 0; i < count; ++i) {
            const int32_t index = Stream.ReadInt32();
            if (index < 0 || index >= count || placed[std::size_t(index)])
                Invalid();
            placed[std::size_t(index)] = true;
            block.Positions.push_back(index);
        }
    }
    if (Version > 4)
        block.DefaultWidth = ReadMeasure(Stream);
    return block;
}

void WriteColumnBlock(TStreamWriter &Stream, const TColumnBlock &Block)
{
    if (Block.Positions.size() != Block.Columns.size())
        throw EGridTreeAssertion(InvalidParameter);
    Stream.WriteInt32(int32_t(Block.Columns.size()));
    for (const TColumnRecord &column : Block.Columns)
        WriteColumn(Stream, column);
    for (const TColumnIndex index : Block.Positions)
        Stream.WriteInt32(index);
    Stream.WriteInt32(Block.DefaultWidth);
}

// ---- header record --------------------------------------------------------------------------------

void WriteHeaderRecord(QIODevice &Stream, const THeaderRecord &Record)
{
    TStreamWriter s(&Stream);
    s.WriteInt32(Marker);
    s.WriteInt32(HeaderRecordVersion);
    WriteColumnBlock(s, Record.Columns);
    const THeaderFontRecord &font = Record.Font;
    for (const int32_t value : { Record.AutoSizeIndex, int(Record.Background), Record.Height,
             int(Record.Options.bits()), Record.Style, int(font.Color), font.Height })
        s.WriteInt32(value);
    const QByteArray name = font.Name.toUtf8();
    s.WriteInt32(int32_t(name.size()));
    s.WriteBytes(name.constData(), name.size());
    const TGTFixedAreaConstraints &limits = Record.FixedAreaConstraints;
    for (const int32_t value : { font.Pitch, font.Style, Record.MainColumn, Record.SortColumn,
             int(Record.SortDirection), int(Record.ParentFont), Record.MaxHeight, Record.MinHeight,
             Record.DefaultHeight, limits.MaxHeightPercent, limits.MaxWidthPercent, limits.MinHeightPercent,
             limits.MinWidthPercent })
        s.WriteInt32(value);
    s.Flush();
}

THeaderRecord ReadHeaderRecord(QIODevice &Stream)
{
    TDeviceBytes bytes(Stream);
    try {
        TStreamReader s(bytes.Begin(), bytes.End(), HeaderTooShort, 0);
        THeaderRecord r;
        if (s.ReadInt32() >= 0) {
            // No marker: the first value is already the column count.
            r.Version = -1;
            s = TStreamReader(bytes.Begin(), bytes.End(), HeaderTooShort, 0);
        } else {
            r.Version = s.ReadInt32();
            if (r.Version < 0 || r.Version > HeaderRecordVersion)
                ShowError(QString::fromLatin1(HeaderWrongVersion), 0);
        }
        r.Columns = ReadColumnBlock(s, r.Version);
        r.AutoSizeIndex = s.ReadInt32();
        r.Background = s.ReadUInt32();
        r.Height = ReadMeasure(s);
        r.Options = TGTHeaderOptions::fromBits(uint16_t(s.ReadUInt32()));
        r.Style = ReadOrdinal<int>(s, 4);
        r.Font.Color = s.ReadUInt32();
        r.Font.Height = ReadMeasure(s, MaxFontPixels);
        r.Font.Name = s.ReadUtf8(s.ReadInt32());
        r.Font.Pitch = ReadOrdinal<int>(s, 3);
        r.Font.Style = s.ReadInt32() & 0x0F;
        if (r.HasSortFields()) {
            r.MainColumn = s.ReadInt32();
            r.SortColumn = s.ReadInt32();
            r.SortDirection = ReadOrdinal<TSortDirection>(s, 2);
        }
        if (r.HasSizeFields()) {
            r.ParentFont = s.ReadInt32() != 0;
            r.MaxHeight = ReadMaximum(s);
            r.MinHeight = ReadMeasure(s);
            r.DefaultHeight = ReadMeasure(s);
            TGTFixedAreaConstraints &limits = r.FixedAreaConstraints;
            for (int *value : { &limits.MaxHeightPercent, &limits.MaxWidthPercent, &limits.MinHeightPercent,
                     &limits.MinWidthPercent })
                *value = ReadPercent(s);
        }
        bytes.Consumed(s.Position());
        return r;
    } catch (...) {
        bytes.Restore();
        throw;
    }
}

// ---- the columns' share ---------------------------------------------------------------------------

TColumnBlock TGridTreeColumns::SaveToBlock() const
{
    TColumnBlock block;
    block.DefaultWidth = FDefaultWidth;
    for (const auto &c : FItems)
        block.Columns.push_back({ c->FText, c->FHint, c->FWidth, c->FMinWidth, c->FMaxWidth, c->FStyle,
            c->FImageIndex, c->FLayout, c->FMargin, c->FSpacing, c->FBiDiMode, c->FOptions, c->FTag,
            c->FAlignment, c->FColor, c->FCaptionAlignment });
    block.Positions = StoredPositionOrder();
    return block;
}

void TGridTreeColumns::LoadFromBlock(const TColumnBlock &Block)
{
    BeginUpdate();
    Clear();
    FDefaultWidth = Block.DefaultWidth;
    for (const TColumnRecord &r : Block.Columns) {
        TGridTreeColumn &c = Add();
        c.FText = r.Text;
        c.FHint = r.Hint;
        c.FMinWidth = std::max(r.MinWidth, 0);
        c.FMaxWidth = std::max(r.MaxWidth, c.FMinWidth);
        c.FWidth = c.FLastWidth = std::clamp(r.Width, c.FMinWidth, c.FMaxWidth);
        c.FStyle = r.Style;
        c.FImageIndex = r.ImageIndex;
        c.FLayout = r.Layout;
        c.FMargin = r.Margin < 0 ? 4 : r.Margin;
        c.FSpacing = r.Spacing;
        c.FOptions = r.Options;
        c.FTag = r.Tag;
        c.FAlignment = r.Alignment;
        c.FCaptionAlignment = r.CaptionAlignment;
        // While the parent options are on the tree's values hold.
        c.FBiDiMode = r.Options.contains(coParentBidiMode) ? FHost.TreeBiDiMode() : r.BiDiMode;
        c.FColor = r.Options.contains(coParentColor) ? FHost.TreeColor() : r.Color;
    }
    std::vector<TColumnIndex> positions = Block.Positions;
    if (positions.size() != FItems.size()) {
        positions.resize(FItems.size());
        std::iota(positions.begin(), positions.end(), 0);
    }
    for (std::size_t p = 0; p < positions.size(); ++p)
        Items(positions[p]).FPosition = TColumnPosition(p);
    FPositionToIndex = positions;
    EndUpdate();
    FixPositions();
}

void TGridTreeColumns::SaveToStream(QIODevice &Stream) const
{
    TStreamWriter writer(&Stream);
    WriteColumnBlock(writer, SaveToBlock());
    writer.Flush();
}

void TGridTreeColumns::LoadFromStream(QIODevice &Stream, int Version)
{
    TDeviceBytes bytes(Stream);
    TStreamReader reader(bytes.Begin(), bytes.End(), HeaderTooShort, 0);
    TColumnBlock block;
    try {
        block = ReadColumnBlock(reader, Version);
    } catch (...) {
        bytes.Restore();
        throw;
    }
    bytes.Consumed(reader.Position());
    LoadFromBlock(block);
}

// ---- the header's share ---------------------------------------------------------------------------

void TGTHeader::SaveToStream(QIODevice &Stream) const
{
    THeaderRecord r;
    r.Columns = FColumns->SaveToBlock();
    r.AutoSizeIndex = FAutoSizeIndex;
    r.Background = FBackground;
    r.Height = FHeight;
    r.Options = FOptions;
    r.Style = FStyle;
    // Captions are drawn in the button text colour.
    r.Font = THeaderFontRecord::FromFont(FFont, clBtnText);
    r.MainColumn = FMainColumn;
    r.SortColumn = SortColumn();
    r.SortDirection = SortDirection();
    r.ParentFont = FParentFont;
    r.MaxHeight = FMaxHeight;
    r.MinHeight = FMinHeight;
    r.DefaultHeight = FDefaultHeight;
    r.FixedAreaConstraints = FFixedAreaConstraints;
    WriteHeaderRecord(Stream, r);
}

void TGTHeader::LoadFromStream(QIODevice &Stream)
{
    const THeaderRecord r = ReadHeaderRecord(Stream);
    // The setters clamp and repaint; the columns only store while loading, and
    // the options they might act on are off meanwhile.
    FStates.include(hsLoading);
    const TGTHeaderOptions options = FOptions;
    FOptions = {};
    FColumns->LoadFromBlock(r.Columns);
    SetAutoSizeIndex(r.AutoSizeIndex);
    SetBackground(r.Background);
    SetHeight(r.Height);
    FOptions = options;
    SetOptions(r.Options);
    SetStyle(TGTHeaderStyle(r.Style));
    SetFont(r.Font.ToFont());
    if (r.HasSortFields()) {
        SetMainColumn(r.MainColumn);
        SetSortColumn(r.SortColumn);
        SetSortDirection(r.SortDirection);
    }
    if (r.HasSizeFields()) {
        SetParentFont(r.ParentFont);
        SetMaxHeight(r.MaxHeight);
        SetMinHeight(r.MinHeight);
        SetDefaultHeight(r.DefaultHeight);
        SetFixedAreaConstraints(r.FixedAreaConstraints);
        // Once more within the limits just read, which the first time may have cut it.
        SetHeight(r.Height);
    }
    FStates.exclude(hsLoading);
    FOwner.DoColumnResize(NoColumn);
}
