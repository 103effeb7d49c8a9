#pragma once

#include "components/BaseGridTree.h"
#include "components/gui/ColumnTypes.h"
#include "platform/gui/Color.h"

#include <QFont>
#include <QString>
#include <vector>

class QIODevice;
class TStreamReader;
class TStreamWriter;

// The header and its columns as one binary record, the form in which an owner
// keeps a column layout. Records are written in the current version and read
// in every version back to the old one without marker (-1). Reading checks the
// whole record before anything uses it: a bad one raises EGridTreeError and
// leaves header and columns as they were.
inline constexpr int HeaderRecordVersion = 6;

// One column, in the units and ordinals its record stores.
struct TColumnRecord {
    QString Text;
    QString Hint;
    int Width = 50;
    int MinWidth = 10;
    int MaxWidth = 10000;
    TGridTreeColumnStyle Style = vsText;
    int ImageIndex = -1;
    TGTHeaderColumnLayout Layout = blGlyphLeft;
    int Margin = 4;
    int Spacing = 4;
    TBiDiMode BiDiMode = bdLeftToRight;
    TGTColumnOptions Options = DefaultColumnOptions;
    int Tag = 0;
    TAlignment Alignment = taLeftJustify;
    TColor Color = clWindow;
    // Stored only with coUseCaptionAlignment.
    TAlignment CaptionAlignment = taLeftJustify;

    bool operator==(const TColumnRecord &) const = default;
};

// Every column in index order, the position order and the width new columns get.
struct TColumnBlock {
    std::vector<TColumnRecord> Columns;
    // Position -> column index.
    std::vector<TColumnIndex> Positions;
    int DefaultWidth = 50;

    bool operator==(const TColumnBlock &) const = default;
};

// The header's font as the record stores it.
struct THeaderFontRecord {
    TColor Color = clWindowText;
    // Negative: the character height in pixels at 96 dpi; positive: the cell
    // height, taken as the character height.
    int Height = -11;
    QString Name;
    // 0 default, 1 variable, 2 fixed.
    int Pitch = 0;
    // Bold 1, italic 2, underline 4, strike-out 8.
    int Style = 0;

    static THeaderFontRecord FromFont(const QFont &Font, TColor Color);
    QFont ToFont() const;
    bool operator==(const THeaderFontRecord &) const = default;
};

// The header's fields in the order of the record.
struct THeaderRecord {
    // The version read: -1 for an old record without marker and version.
    int Version = HeaderRecordVersion;
    TColumnBlock Columns;
    int AutoSizeIndex = NoColumn;
    TColor Background = clBtnFace;
    int Height = 17;
    TGTHeaderOptions Options { hoColumnResize, hoDrag, hoShowSortGlyphs };
    // The TGTHeaderStyle ordinal, 0 .. 3.
    int Style = 0;
    THeaderFontRecord Font;
    // Present in version 1 on (HasSortFields).
    TColumnIndex MainColumn = NoColumn;
    TColumnIndex SortColumn = NoColumn;
    TSortDirection SortDirection = sdAscending;
    // Present in version 5 on (HasSizeFields).
    bool ParentFont = false;
    int MaxHeight = 10000;
    int MinHeight = 10;
    int DefaultHeight = 17;
    TGTFixedAreaConstraints FixedAreaConstraints;

    bool HasSortFields() const { return Version > 0; }
    bool HasSizeFields() const { return Version > 4; }
    bool operator==(const THeaderRecord &) const = default;
};

// Writes the record in the current version.
void WriteHeaderRecord(QIODevice &Stream, const THeaderRecord &Record);
// Reads one record; the device is left just after it, or where it was when
// the record is bad.
THeaderRecord ReadHeaderRecord(QIODevice &Stream);

// The column block alone, as TGridTreeColumns streams it.
void WriteColumnBlock(TStreamWriter &Stream, const TColumnBlock &Block);
TColumnBlock ReadColumnBlock(TStreamReader &Stream, int Version);
