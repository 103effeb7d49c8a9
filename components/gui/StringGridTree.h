#pragma once

#include "components/gui/GlyphRunCache.h"
#include "components/gui/GridTreeView.h"
#include "components/gui/TextWidthCache.h"

#include <QString>
#include <functional>

class TCustomStringTreeOptions;

// The normal text of a cell, and the static text drawn after it (toShowStaticText).
enum TGSTTextType { ttNormal, ttStatic };

// A tree whose cells show text. It keeps no text: each cell's text is asked from
// the owner (OnGetText) whenever it is painted, measured or searched, and the
// owner styles it (OnPaintText). The width of a node's text in the main column
// is kept in the node (text margins included; 0: not measured) until
// InvalidateNode or a font change.
class TCustomStringGridTree : public TGridTreeView {
    Q_OBJECT

public:
    explicit TCustomStringGridTree(QWidget *Parent = nullptr);
    explicit TCustomStringGridTree(TBaseGridTree &Store, QWidget *Parent = nullptr);

    TCustomStringTreeOptions &StringTreeOptions() const;

    // DefaultText, as OnGetText leaves or changes it. Fails with
    // EGridTreeAssertion for nil.
    QString Text(TGridNode *Node, TColumnIndex Column);
    // Hands the text to OnNewText and repaints the node.
    void SetText(TGridNode *Node, TColumnIndex Column, const QString &Value);
    // "Node" unless changed.
    const QString &DefaultText() const { return FDefaultText; }
    void SetDefaultText(const QString &Value);
    // The font's line height and the width of "..." in it.
    int TextHeight() const { return FTextHeight; }
    int EllipsisWidth() const { return FEllipsisWidth; }

    // A cell with text is not empty; for an empty text OnGetCellIsEmpty decides.
    bool ColumnIsEmpty(TGridNode *Node, TColumnIndex Column) override;
    // Also measures the node anew: its text width and its height.
    void InvalidateNode(TGridNode *Node) override;
    // The text, the font OnPaintText gives it and its rectangle, for an editor.
    void GetTextInfo(TGridNode *Node, TColumnIndex Column, QFont &AFont, TRect &R, QString &Text) override;
    // The height S (empty: the cell's text) takes wrapped at words in the cell's
    // text area, in Canvas's font.
    int ComputeNodeHeight(
        QPainter &Canvas, TGridNode *Node, TColumnIndex Column, const QString &S = QString());

    // ---- content export (GridTreeExport.cpp) -------------------------------------------------
    // The nodes of Source, one line each after a header line of the visible
    // columns' captions: cells between separators, the main column indented
    // by separators per level. ContentToText gives the locale's 8-bit text and
    // applies ExportMode and the node events; ContentToUnicode writes every node.
    QByteArray ContentToText(TGSTTextSourceType Source, QChar Separator);
    QByteArray ContentToText(TGSTTextSourceType Source, const QString &Separator);
    QString ContentToUnicode(TGSTTextSourceType Source, QChar Separator);
    QString ContentToUnicode(TGSTTextSourceType Source, const QString &Separator);
    // A table in UTF-8 HTML with the tree's fonts and colours as styles.
    QByteArray ContentToHTML(TGSTTextSourceType Source, const QString &Caption = QString());
    QByteArray ContentToRTF(TGSTTextSourceType Source);
    // A text rendering of a clipboard format (empty for one without).
    QByteArray ContentToClipboard(const TClipboardFormatEntry &Format, TGSTTextSourceType Source);
    // The tree's records first, then the text renderings.
    bool RenderOLEData(const TClipboardFormatEntry &Format, QByteArray &Data, bool ForClipboard) override;

    // ---- events ----------------------------------------------------------------------
    std::function<void(TCustomStringGridTree &, TGridNode *, TColumnIndex, TGSTTextType, QString &CellText)>
        OnGetText;
    // Styles the painter (font, colour) before a text is drawn or measured.
    std::function<void(
        TCustomStringGridTree &, QPainter &TargetCanvas, TGridNode *, TColumnIndex, TGSTTextType)>
        OnPaintText;
    std::function<void(TCustomStringGridTree &, TGridNode *, TColumnIndex, const QString &NewText)> OnNewText;
    // The hint (or tooltip) of a node; starts as the control's hint (a tooltip: the cell's text).
    std::function<void(TCustomStringGridTree &, TGridNode *, TColumnIndex,
        TGTHintLineBreakStyle &LineBreakStyle, QString &HintText)>
        OnGetHint;
    QString DoGetNodeHint(
        TGridNode *Node, TColumnIndex Column, TGTHintLineBreakStyle &LineBreakStyle) override;
    QString DoGetNodeTooltip(
        TGridNode *Node, TColumnIndex Column, TGTHintLineBreakStyle &LineBreakStyle) override;
    // Done true: Result is the shortened text.
    std::function<void(TCustomStringGridTree &, QPainter &, TGridNode *, TColumnIndex, const QString &S,
        int TextSpace, QString &Result, bool &Done)>
        OnShortenString;
    std::function<void(
        TCustomStringGridTree &, QPainter &, TGridNode *, TColumnIndex, const QString &Text, int &Extent)>
        OnMeasureTextWidth;
    // DefaultDraw false: the handler drew the text.
    std::function<void(TCustomStringGridTree &, QPainter &, TGridNode *, TColumnIndex, const QString &Text,
        const TRect &CellRect, bool &DefaultDraw)>
        OnDrawText;

protected:
    virtual void DoGetText(TGridNode *Node, TColumnIndex Column, TGSTTextType TextType, QString &Text);
    virtual void DoPaintText(TGridNode *Node, QPainter &Canvas, TColumnIndex Column, TGSTTextType TextType);
    virtual void DoNewText(TGridNode *Node, TColumnIndex Column, const QString &Text);
    void DoPaintNode(TGTPaintInfo &PaintInfo) override;
    void PaintNormalText(TGTPaintInfo &PaintInfo, QString Text);
    void PaintStaticText(const TGTPaintInfo &PaintInfo, const QString &Text);
    void InitializeTextProperties(TGTPaintInfo &PaintInfo);
    int DoGetNodeWidth(TGridNode *Node, TColumnIndex Column, QPainter *Canvas = nullptr) override;
    // 2 x TextMargin plus, for a text, its width once the tree font and
    // OnPaintText are applied to Canvas.
    virtual int CalculateTextWidth(
        QPainter &Canvas, TGridNode *Node, TColumnIndex Column, const QString &Text);
    virtual int DoTextMeasuring(QPainter &Canvas, TGridNode *Node, TColumnIndex Column, const QString &Text);
    virtual void DoTextDrawing(
        TGTPaintInfo &PaintInfo, const QString &Text, TRect CellRect, unsigned DrawFormat);
    virtual QString DoShortenString(QPainter &Canvas, TGridNode *Node, TColumnIndex Column, const QString &S,
        int Width, int EllipsisWidth = 0);
    // With toAutoSpanColumns a cell grows over the empty cells to its right.
    void AdjustPaintCellRect(TGTPaintInfo &PaintInfo, TColumnIndex &NextNonEmpty) override;
    void MainColumnChanged() override;
    bool event(QEvent *Event) override;
    // With toSaveCaptions a node's record carries its main column's text,
    // which comes back through OnNewText (StringGridTreeStream.cpp).
    void WriteNodeChunks(TStreamWriter &Stream, TGridNode *Node) override;
    bool ReadNodeChunk(TGridNode *Node, int ChunkType, const char *Begin, const char *End) override;
    // Without an OnCreateEditor handler the string tree edits with a TStringEditLink.
    TGTEditLinkPtr DoCreateEditor(TGridNode *Node, TColumnIndex Column) override;
    // Without OnIncrementalSearch: 0 when the text in the focused column begins
    // with Text (case counts), else 1.
    int DoIncrementalSearch(TGridNode *Node, const QString &Text) override;
    QString NodeText(TGridNode *Node, TColumnIndex Column) override;

    // The width of Text in Canvas's font.
    int TextExtent(QPainter &Canvas, const QString &Text);

private:
    // Both text exports; NodeChecks applies ExportMode and the node events.
    QString ContentAsText(TGSTTextSourceType Source, QStringView Separator, bool NodeChecks);
    // A cell's font and colour as OnPaintText sets them; true when they are not the tree's.
    bool ExportFont(TGridNode *Node, TColumnIndex Column, QFont &Font, QColor &Color);
    void Construct();
    uint32_t &CachedWidth(TGridNode *Node) const;
    // Every node's cached width goes.
    void ResetWidths();
    // The font's text height and ellipsis width; every cached width goes.
    void FontChanged();
    QColor TextColor() const;
    void SetCanvasFont(QPainter &Canvas, const QFont &Font);

    QString FDefaultText = QStringLiteral("Node");
    int FTextHeight = 0;
    int FEllipsisWidth = 0;
    TTextWidthCache FWidths;
    TGlyphRunCache FGlyphRuns;
    const QPainter *FFontCanvas = nullptr;
    QFont FCanvasFont;
    QFont FCanvasFontSource;
};

// The string tree as forms use it.
class TStringGridTree : public TCustomStringGridTree {
    Q_OBJECT

public:
    using TCustomStringGridTree::TCustomStringGridTree;
};
