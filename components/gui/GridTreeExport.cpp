// The string tree's content as text, CSV, HTML and RTF, and the export events.
#include "components/gui/GridTreeExport.h"

#include "components/gui/GTColors.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/StringGridTree.h"

#include <QLocale>
#include <QPainter>
#include <QStringEncoder>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Geometry is kept at 96 pixels per inch; RTF measures in twips.
constexpr int PixelsPerInch = 96;

struct TExportNode {
    TGridNode *Node;
    int Level;
};

// The columns an export writes: the visible ones in position order, or one
// pass for no column when the header has none.
struct TExportColumns {
    std::vector<TGridTreeColumn *> Visible;
    TColumnIndex Main = NoColumn;
    bool UseColumns = false;

    explicit TExportColumns(const TGridTreeView &Tree)
        : Main(Tree.MainColumn())
        , UseColumns(Tree.Header().Columns().Count() > 0)
    {
        if (UseColumns)
            Visible = Tree.Header().Columns().GetVisibleColumns();
    }
    // The column indices to walk (NoColumn alone without columns).
    std::vector<TColumnIndex> Indices() const
    {
        if (!UseColumns)
            return { NoColumn };
        std::vector<TColumnIndex> result;
        for (const TGridTreeColumn *column : Visible)
            result.push_back(column->Index());
        return result;
    }
};

TAlignment Mirrored(TAlignment Alignment, bool RightToLeft)
{
    if (!RightToLeft || Alignment == taCenter)
        return Alignment;
    return Alignment == taLeftJustify ? taRightJustify : taLeftJustify;
}

// A cell quoted when it holds the separator, a double quote or a line break,
// its inner quotes doubled, so that every reader finds the same cells.
void AddCell(QString &Out, QStringView Text, QStringView Separator)
{
    bool quote = Separator.size() > 1 && Text.contains(Separator);
    if (!quote) {
        // One pass without branches: short cells are the rule.
        const char16_t first = Separator.isEmpty() ? u'"' : Separator.front().unicode();
        const char16_t *data = Text.utf16();
        bool hit = false;
        for (qsizetype i = 0; i < Text.size(); ++i) {
            const char16_t c = data[i];
            hit |= (c == u'"') | (c == u'\r') | (c == u'\n') | (c == first);
        }
        quote = hit;
    }
    if (!quote) {
        Out += Text;
        return;
    }
    Out += u'"';
    for (const QChar c : Text) {
        if (c == u'"')
            Out += u'"';
        Out += c;
    }
    Out += u'"';
}

void AddRepeated(QString &Out, QStringView Text, int Count)
{
    for (int i = 0; i < Count; ++i)
        Out += Text;
}

// ---- HTML helpers ----------------------------------------------------------------------------

// The code point of a surrogate pair.
uint32_t ConvertSurrogate(char16_t High, char16_t Low)
{
    return (uint32_t(High) << 10) + Low - 56613888u;
}

// UTF-8 of UTF-16 text; a surrogate without its partner is left out.
void UTF16ToUTF8(TBufferedAnsiString &Out, QStringView Text)
{
    // Well-formed text (the rule) converts in one go.
    if (Text.isValidUtf16()) {
        Out.Add(Text.toUtf8());
        return;
    }
    QByteArray bytes;
    bytes.reserve(Text.size() * 3);
    for (qsizetype i = 0; i < Text.size(); ++i) {
        uint32_t code = Text[i].unicode();
        if (code >= 0xD800 && code <= 0xDFFF) {
            if (code <= 0xDBFF && i + 1 < Text.size() && Text[i + 1].isLowSurrogate()) {
                code = ConvertSurrogate(char16_t(code), Text[i + 1].unicode());
                ++i;
            } else {
                continue;
            }
        }
        if (code < 0x80) {
            bytes += char(code);
        } else if (code < 0x800) {
            bytes += char(0xC0 | (code >> 6));
            bytes += char(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            bytes += char(0xE0 | (code >> 12));
            bytes += char(0x80 | ((code >> 6) & 0x3F));
            bytes += char(0x80 | (code & 0x3F));
        } else {
            bytes += char(0xF0 | (code >> 18));
            bytes += char(0x80 | ((code >> 12) & 0x3F));
            bytes += char(0x80 | ((code >> 6) & 0x3F));
            bytes += char(0x80 | (code & 0x3F));
        }
    }
    Out.Add(bytes);
}

// Text inside HTML: the characters that would end it or open markup are escaped.
void AddHtmlText(TBufferedAnsiString &Out, QStringView Text)
{
    const auto special = [](QChar C) { return C == u'&' || C == u'<' || C == u'>' || C == u'"'; };
    if (std::none_of(Text.begin(), Text.end(), special)) {
        UTF16ToUTF8(Out, Text);
        return;
    }
    QString escaped;
    escaped.reserve(Text.size());
    for (const QChar c : Text) {
        switch (c.unicode()) {
        case u'&':
            escaped += QLatin1String("&amp;");
            break;
        case u'<':
            escaped += QLatin1String("&lt;");
            break;
        case u'>':
            escaped += QLatin1String("&gt;");
            break;
        case u'"':
            escaped += QLatin1String("&quot;");
            break;
        default:
            escaped += c;
        }
    }
    UTF16ToUTF8(Out, escaped);
}

QByteArray WriteColorAsHex(QColor Color)
{
    return QStringLiteral("#%1%2%3")
        .arg(Color.red(), 2, 16, QChar(u'0'))
        .arg(Color.green(), 2, 16, QChar(u'0'))
        .arg(Color.blue(), 2, 16, QChar(u'0'))
        .toUpper()
        .toLatin1();
}

QByteArray Number(int Value)
{
    return QByteArray::number(Value);
}

// A font as a CSS class (Name given) or as a style attribute.
void WriteStyle(TBufferedAnsiString &Out, const QByteArray &Name, const QFont &Font, QColor Color)
{
    if (Name.isEmpty())
        Out.Add(" style=\"{font:");
    else
        Out.Add("." + Name + "{font:");
    if (Font.underline())
        Out.Add(" underline");
    if (Font.italic())
        Out.Add(" italic");
    if (Font.bold())
        Out.Add(" bold");
    TBufferedAnsiString name;
    UTF16ToUTF8(name, Font.family());
    if (Font.pointSize() > 0)
        Out.Add(" " + Number(Font.pointSize()) + "pt \"" + name.AsString() + "\";");
    else
        Out.Add(" " + Number(Font.pixelSize()) + "px \"" + name.AsString() + "\";");
    Out.Add("color:" + WriteColorAsHex(Color) + ";}");
    if (Name.isEmpty())
        Out.Add('"');
}

void WriteAlignment(TBufferedAnsiString &Out, TAlignment Alignment)
{
    Out.Add(Alignment == taRightJustify ? " align=right"
            : Alignment == taCenter     ? " align=center"
                                        : " align=left");
}

// ---- RTF helpers -------------------------------------------------------------------------------

// Fonts and colours of an RTF document, numbered as they first appear.
class TRtfTables {
public:
    // Text in a font and colour (nothing for an empty text), switching font,
    // colour and size only where they change.
    void TextPlusFont(QByteArray &Out, QStringView Text, const QFont &Font, QColor Color)
    {
        if (Text.isEmpty())
            return;
        if (Font.underline())
            Out += "\\ul";
        if (Font.italic())
            Out += "\\i";
        if (Font.bold())
            Out += "\\b";
        const int font = SelectFont(Font.family());
        if (font != FCurrentFont) {
            FCurrentFont = font;
            Out += "\\f" + Number(font);
        }
        const int color = SelectColor(Color.rgb() & 0xFFFFFF);
        if (color != FCurrentColor) {
            FCurrentColor = color;
            Out += "\\cf" + Number(color + 1);
        }
        const int size = Font.pointSize() > 0 ? Font.pointSize()
                                              : int(std::nearbyint(Font.pixelSize() * 72.0 / PixelsPerInch));
        if (size != FCurrentSize) {
            FCurrentSize = size;
            Out += "\\fs" + Number(2 * size);
        }
        Out += ' ';
        char code[16] = "\\u";
        for (const QChar c : Text) {
            if (c == u'\n') {
                Out += "{\\par}";
            } else if (c != u'\r') {
                // RTF's \u takes a signed 16-bit value.
                char *end = std::to_chars(code + 2, code + sizeof(code) - 4, int(int16_t(c.unicode()))).ptr;
                std::memcpy(end, "\\'3f", 4);
                Out.append(code, end + 4 - code);
            }
        }
        if (Font.underline())
            Out += "\\ul0";
        if (Font.italic())
            Out += "\\i0";
        if (Font.bold())
            Out += "\\b0";
    }

    QByteArray Document(const QByteArray &Body) const
    {
        QByteArray result = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl";
        for (int i = 0; i < int(FFonts.size()); ++i) {
            QByteArray name;
            for (const QChar c : FFonts[std::size_t(i)]) {
                if (c == u'\\' || c == u'{' || c == u'}')
                    name += '\\';
                name += c.unicode() < 128 ? char(c.unicode()) : '?';
            }
            result += "{\\f" + Number(i) + " " + name + ";}";
        }
        result += "}{\\colortbl;";
        for (const QRgb color : FColors)
            result += "\\red" + Number(qRed(color)) + "\\green" + Number(qGreen(color)) + "\\blue"
                + Number(qBlue(color)) + ";";
        result += "}";
        result += Body;
        result += "}";
        return result;
    }

private:
    int SelectFont(const QString &Name)
    {
        for (int i = 0; i < int(FFonts.size()); ++i)
            if (FFonts[std::size_t(i)] == Name)
                return i;
        FFonts.push_back(Name);
        return int(FFonts.size()) - 1;
    }
    int SelectColor(QRgb Color)
    {
        for (int i = 0; i < int(FColors.size()); ++i)
            if (FColors[std::size_t(i)] == Color)
                return i;
        FColors.push_back(Color);
        return int(FColors.size()) - 1;
    }

    std::vector<QString> FFonts;
    std::vector<QRgb> FColors;
    int FCurrentFont = -1;
    int FCurrentColor = -1;
    int FCurrentSize = -1;
};

void WriteRtfAlignment(QByteArray &Out, TAlignment Alignment)
{
    if (Alignment == taRightJustify)
        Out += "\\qr";
    else if (Alignment == taCenter)
        Out += "\\qc";
}

} // namespace

QByteArray MakeFragment(const QByteArray &Fragment)
{
    static const QByteArray head = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">"
                                   "<html><head><META http-equiv=Content-Type content=\"text/html; "
                                   "charset=utf-8\"></head><body><!--StartFragment-->";
    static const QByteArray tail = "<!--EndFragment--></body></html>";
    const auto offset = [](const char *Name, qsizetype Value) {
        return QByteArray(Name) + QByteArray::number(Value).rightJustified(8, '0') + "\r\n";
    };
    const qsizetype startHtml = 97;
    const qsizetype startFragment = startHtml + head.size();
    const qsizetype endFragment = startFragment + Fragment.size();
    const qsizetype endHtml = endFragment + tail.size();
    QByteArray result = "Version:1.0\r\n";
    result += offset("StartHTML:", startHtml);
    result += offset("EndHTML:", endHtml);
    result += offset("StartFragment:", startFragment);
    result += offset("EndFragment:", endFragment);
    result += head;
    result += Fragment;
    result += tail;
    return result;
}

// ---- the tree's side: export mode, sources and events ---------------------------------------

bool TGridTreeView::CanExportNode(TGridNode *Node) const
{
    switch (FExportMode) {
    case emChecked:
        return Node->CheckState() == csCheckedNormal;
    case emUnchecked:
        return Node->CheckState() == csUncheckedNormal;
    default:
        return true;
    }
}

void TGridTreeView::GetRenderStartValues(
    TGSTTextSourceType Source, TGridNode *&Node, TGetNextNodeProc &NextNodeProc)
{
    TBaseGridTree *tree = FTree;
    Node = nullptr;
    NextNodeProc = [](TGridNode *) -> TGridNode * { return nullptr; };
    if (!tree)
        return;
    switch (Source) {
    case tstInitialized:
        Node = tree->GetFirstInitialized();
        NextNodeProc = [tree](TGridNode *N) { return tree->GetNextInitialized(N); };
        break;
    case tstSelected:
        Node = tree->GetFirstSelected();
        NextNodeProc = [tree](TGridNode *N) { return tree->GetNextSelected(N); };
        break;
    case tstCutCopySet:
        Node = GetFirstCutCopy();
        NextNodeProc = [this](TGridNode *N) { return GetNextCutCopy(N); };
        break;
    case tstVisible:
        Node = tree->GetFirstVisible(nullptr, true);
        NextNodeProc = [tree](TGridNode *N) { return tree->GetNextVisible(N, true); };
        break;
    default:
        Node = tree->GetFirst();
        NextNodeProc = [tree](TGridNode *N) { return tree->GetNext(N); };
        break;
    }
}

void TGridTreeView::DoBeforeTreeExport(TGTExportType ExportType)
{
    if (OnBeforeTreeExport)
        OnBeforeTreeExport(*this, ExportType);
}

void TGridTreeView::DoAfterTreeExport(TGTExportType ExportType)
{
    if (OnAfterTreeExport)
        OnAfterTreeExport(*this, ExportType);
}

void TGridTreeView::DoBeforeHeaderExport(TGTExportType ExportType)
{
    if (OnBeforeHeaderExport)
        OnBeforeHeaderExport(*this, ExportType);
}

void TGridTreeView::DoAfterHeaderExport(TGTExportType ExportType)
{
    if (OnAfterHeaderExport)
        OnAfterHeaderExport(*this, ExportType);
}

void TGridTreeView::DoBeforeColumnExport(TGTExportType ExportType, TGridTreeColumn &Column)
{
    if (OnBeforeColumnExport)
        OnBeforeColumnExport(*this, ExportType, Column);
}

void TGridTreeView::DoColumnExport(TGTExportType ExportType, TGridTreeColumn &Column)
{
    if (OnColumnExport)
        OnColumnExport(*this, ExportType, Column);
}

void TGridTreeView::DoAfterColumnExport(TGTExportType ExportType, TGridTreeColumn &Column)
{
    if (OnAfterColumnExport)
        OnAfterColumnExport(*this, ExportType, Column);
}

bool TGridTreeView::DoBeforeNodeExport(TGTExportType ExportType, TGridNode *Node)
{
    return !OnBeforeNodeExport || OnBeforeNodeExport(*this, ExportType, Node);
}

void TGridTreeView::DoNodeExport(TGTExportType ExportType, TGridNode *Node)
{
    if (OnNodeExport)
        OnNodeExport(*this, ExportType, Node);
}

void TGridTreeView::DoAfterNodeExport(TGTExportType ExportType, TGridNode *Node)
{
    if (OnAfterNodeExport)
        OnAfterNodeExport(*this, ExportType, Node);
}

// ---- the string tree's exports ---------------------------------------------------------------

namespace {

// The nodes of a source with their levels, and the deepest level among them.
std::vector<TExportNode> CollectNodes(TGridTreeView &Tree, TGSTTextSourceType Source, int &MaxLevel)
{
    std::vector<TExportNode> nodes;
    MaxLevel = 0;
    TGridNode *node = nullptr;
    TGridTreeView::TGetNextNodeProc next;
    Tree.GetRenderStartValues(Source, node, next);
    for (; node; node = next(node)) {
        const int level = int(Tree.Tree()->GetNodeLevel(node));
        MaxLevel = std::max(MaxLevel, level);
        nodes.push_back({ node, level });
    }
    return nodes;
}

} // namespace

// Both text forms: NodeChecks applies the export mode and the node events.
QString TCustomStringGridTree::ContentAsText(
    TGSTTextSourceType Source, QStringView Separator, bool NodeChecks)
{
    int maxLevel = 0;
    const std::vector<TExportNode> nodes = CollectNodes(*this, Source, maxLevel);
    const TExportColumns columns(*this);
    const std::vector<TColumnIndex> indices = columns.Indices();
    QString out;
    QString cell;
    if (columns.UseColumns) {
        for (std::size_t i = 0; i < columns.Visible.size(); ++i) {
            if (i > 0)
                out += Separator;
            AddCell(out, columns.Visible[i]->Text(), Separator);
            if (columns.Visible[i]->Index() == columns.Main)
                AddRepeated(out, Separator, maxLevel);
        }
        out += QLatin1String("\r\n");
    }
    for (const TExportNode &entry : nodes) {
        TGridNode *node = entry.Node;
        if (NodeChecks && (!CanExportNode(node) || !DoBeforeNodeExport(etText, node)))
            continue;
        for (std::size_t i = 0; i < indices.size(); ++i) {
            if (i > 0)
                out += Separator;
            const bool main = indices[i] == columns.Main;
            if (main)
                AddRepeated(out, Separator, entry.Level);
            // The cell's text as Text() gives it, in one string kept for all cells.
            cell = DefaultText();
            DoGetText(node, indices[i], ttNormal, cell);
            AddCell(out, cell, Separator);
            if (main && columns.UseColumns)
                AddRepeated(out, Separator, maxLevel - entry.Level);
        }
        out += QLatin1String("\r\n");
        if (NodeChecks)
            DoAfterNodeExport(etText, node);
    }
    return out;
}

QByteArray TCustomStringGridTree::ContentToText(TGSTTextSourceType Source, QChar Separator)
{
    return ContentToText(Source, QString(Separator));
}

QByteArray TCustomStringGridTree::ContentToText(TGSTTextSourceType Source, const QString &Separator)
{
    // The locale's 8-bit encoding.
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(ContentAsText(Source, Separator, true));
}

QString TCustomStringGridTree::ContentToUnicode(TGSTTextSourceType Source, QChar Separator)
{
    return ContentAsText(Source, QStringView(&Separator, 1), false);
}

QString TCustomStringGridTree::ContentToUnicode(TGSTTextSourceType Source, const QString &Separator)
{
    return ContentAsText(Source, Separator, false);
}

bool TCustomStringGridTree::ExportFont(TGridNode *Node, TColumnIndex Column, QFont &Font, QColor &Color)
{
    // Without a handler every cell has the tree's font and colour.
    if (!OnPaintText) {
        Font = font();
        Color = TextColor();
        return false;
    }
    QPainter &canvas = MeasureCanvas();
    canvas.setFont(font());
    canvas.setPen(TextColor());
    const QFont before = canvas.font();
    DoPaintText(Node, canvas, Column, ttNormal);
    Font = canvas.font();
    Color = canvas.pen().color();
    return !(Font == before) || Color != TextColor();
}

QByteArray TCustomStringGridTree::ContentToHTML(TGSTTextSourceType Source, const QString &Caption)
{
    DoBeforeTreeExport(etHTML);
    int maxLevel = 0;
    const std::vector<TExportNode> nodes = CollectNodes(*this, Source, maxLevel);
    const TExportColumns columns(*this);
    const TGTPaintOptions paint = TreeOptions().PaintOptions();
    const QByteArray lineStyle = LineStyle() == lsSolid ? "solid;" : "dotted;";
    const QByteArray padding
        = "padding-left:" + Number(Margin()) + "px;padding-right:" + Number(Margin()) + "px;";
    const auto ownColor
        = [](const TGridTreeColumn &Column) { return !Column.Options().contains(coParentColor); };
    const auto columnColor = [this](const TGridTreeColumn &Column) {
        return WriteColorAsHex(PaletteColor(palette(), Column.Color()));
    };

    TBufferedAnsiString out;
    out.Add("<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">");
    out.AddNewLine();
    out.Add("<style type=\"text/css\">");
    out.AddNewLine();
    WriteStyle(out, "default", font(), TextColor());
    out.AddNewLine();
    WriteStyle(out, "header", Header().Font(), PaletteColor(palette(), clBtnText));
    out.AddNewLine();
    if (paint.contains(toShowHorzGridLines))
        out.Add(".noborder{border-style:" + lineStyle
            + " border-bottom:1;border-left:0;border-right:0; border-top:0;" + padding + "}");
    else
        out.Add(".noborder{border-style:none;" + padding + "}");
    out.AddNewLine();
    out.Add(".normalborder {border-top:none; border-left:none; vertical-align:top;");
    out.Add(paint.contains(toShowVertGridLines) ? "border-right:1 " + lineStyle
                                                : QByteArray("border-right:none;"));
    out.Add(paint.contains(toShowHorzGridLines) ? "border-bottom:1 " + lineStyle
                                                : QByteArray("border-bottom:none;"));
    out.Add(padding + "}");
    out.AddNewLine();
    out.Add("</style>");
    out.AddNewLine();

    out.Add("<table class=\"default\" bgcolor=" + WriteColorAsHex(PaletteColor(palette(), Color())));
    if (!Caption.isEmpty()) {
        out.Add(" caption=\"");
        AddHtmlText(out, Caption);
        out.Add('"');
    }
    if (BorderStyle() != bsNone)
        out.Add(" border=\"1\" frame=box");
    out.Add(" cellspacing=\"0\" cellpadding=" + Number(Margin()) + ">");
    out.AddNewLine();

    if (columns.UseColumns) {
        DoBeforeHeaderExport(etHTML);
        out.Add("<tr class=\"header\" style=\"" + padding + "\">");
        for (TGridTreeColumn *column : columns.Visible) {
            DoBeforeColumnExport(etHTML, *column);
            DoColumnExport(etHTML, *column);
            out.Add("<th height=\"" + Number(Header().Height()) + "px\"");
            if (column->UseRightToLeftReading())
                out.Add(" dir=\"rtl\"");
            WriteAlignment(out, column->CaptionAlignment());
            if (column->Index() == columns.Main && maxLevel > 0)
                out.Add(" colspan=\"" + Number(maxLevel + 1) + "\"");
            if (ownColor(*column))
                out.Add(" bgcolor=" + columnColor(*column));
            out.Add(" width=\"" + Number(column->Width()) + "px\">");
            AddHtmlText(out, column->Text());
            out.Add("</th>");
            DoAfterColumnExport(etHTML, *column);
        }
        out.Add("</tr>");
        out.AddNewLine();
        DoAfterHeaderExport(etHTML);
    }

    const std::vector<TColumnIndex> indices = columns.Indices();
    for (const TExportNode &entry : nodes) {
        TGridNode *node = entry.Node;
        if (!CanExportNode(node) || !DoBeforeNodeExport(etHTML, node))
            continue;
        DoNodeExport(etHTML, node);
        const QByteArray height = Number(int(Tree()->NodeHeight(node))) + "px\"";
        out.Add(" <tr class=\"default\">");
        out.AddNewLine();
        for (const TColumnIndex index : indices) {
            const TGridTreeColumn *column = columns.UseColumns ? &Header().Columns()[index] : nullptr;
            QFont cellFont;
            QColor cellColor;
            const bool styled = ExportFont(node, index, cellFont, cellColor);
            const bool main = index == columns.Main;
            if (main) {
                for (int level = 0; level < entry.Level; ++level) {
                    if (column && ownColor(*column))
                        out.Add("<td class=\"noborder\" width=\"" + Number(Indent()) + "\" height=\"" + height
                            + " bgcolor=" + columnColor(*column) + ">&nbsp;</td>");
                    else if (level == 0)
                        out.Add(" <td height=\"" + height + ">&nbsp;</td>");
                    else
                        out.Add(" <td>&nbsp;</td>");
                    out.AddNewLine();
                }
            }
            out.Add(" <td class=\"normalborder\" ");
            if (styled)
                WriteStyle(out, QByteArray(), cellFont, cellColor);
            out.Add(" height=\"" + height);
            const bool rtl = column && column->UseRightToLeftReading();
            if (rtl)
                out.Add(" dir=\"rtl\"");
            WriteAlignment(out, Mirrored(column ? column->Alignment() : Alignment(), rtl));
            if (main && entry.Level < maxLevel)
                out.Add(" colspan=\"" + Number(maxLevel - entry.Level + 1) + "\"");
            if (column && ownColor(*column))
                out.Add(" bgcolor=" + columnColor(*column));
            out.Add(">");
            AddHtmlText(out, Text(node, index));
            out.Add("</td>");
            out.AddNewLine();
        }
        out.Add(" </tr>");
        out.AddNewLine();
        DoAfterNodeExport(etHTML, node);
    }
    out.Add("</table>");
    DoAfterTreeExport(etHTML);
    return out.AsString();
}

QByteArray TCustomStringGridTree::ContentToRTF(TGSTTextSourceType Source)
{
    DoBeforeTreeExport(etRTF);
    int maxLevel = 0;
    const std::vector<TExportNode> nodes = CollectNodes(*this, Source, maxLevel);
    const TExportColumns columns(*this);
    TRtfTables tables;
    const auto twips
        = [](int Pixels) { return Number(int(std::nearbyint(Pixels * 1440.0 / PixelsPerInch))); };

    QByteArray body = "\\uc1\\trowd\\trgaph70";
    if (columns.UseColumns) {
        int right = 0;
        for (const TGridTreeColumn *column : columns.Visible) {
            right += column->Width();
            body += "\\cellx" + twips(right);
        }
        DoBeforeHeaderExport(etRTF);
        const QColor headerColor = PaletteColor(palette(), clBtnText);
        for (TGridTreeColumn *column : columns.Visible) {
            DoBeforeColumnExport(etRTF, *column);
            DoColumnExport(etRTF, *column);
            body += "\\pard\\intbl";
            WriteRtfAlignment(body, Mirrored(column->CaptionAlignment(), column->UseRightToLeftReading()));
            tables.TextPlusFont(body, column->Text(), Header().Font(), headerColor);
            body += "\\cell";
            DoAfterColumnExport(etRTF, *column);
        }
        body += "\\row";
        DoAfterHeaderExport(etRTF);
    } else {
        body += "\\cellx" + twips(ClientWidth());
    }

    const std::vector<TColumnIndex> indices = columns.Indices();
    for (const TExportNode &entry : nodes) {
        TGridNode *node = entry.Node;
        if (!CanExportNode(node) || !DoBeforeNodeExport(etRTF, node))
            continue;
        DoNodeExport(etRTF, node);
        for (const TColumnIndex index : indices) {
            const TGridTreeColumn *column = columns.UseColumns ? &Header().Columns()[index] : nullptr;
            body += "\\pard\\intbl";
            const bool rtl = column && column->UseRightToLeftReading();
            WriteRtfAlignment(body, Mirrored(column ? column->Alignment() : Alignment(), rtl));
            QFont cellFont;
            QColor cellColor;
            ExportFont(node, index, cellFont, cellColor);
            if (index == columns.Main)
                for (int level = 0; level < entry.Level; ++level)
                    body += "\\tab";
            tables.TextPlusFont(body, Text(node, index), cellFont, cellColor);
            body += "\\cell";
        }
        body += "\\row";
        DoAfterNodeExport(etRTF, node);
    }
    body += "\\pard\\par";
    DoAfterTreeExport(etRTF);
    return tables.Document(body);
}

QByteArray TCustomStringGridTree::ContentToClipboard(
    const TClipboardFormatEntry &Format, TGSTTextSourceType Source)
{
    const QString name = ClipboardFormatName(Format.Format);
    if (Format.Format == CF_TEXT)
        return ContentToText(Source, QChar(u'\t'));
    if (Format.Format == CF_UNICODETEXT)
        return ContentToUnicode(Source, QChar(u'\t')).toUtf8();
    if (name.compare(QLatin1String(CFSTR_CSV), Qt::CaseInsensitive) == 0) {
        // A list separator that cannot be a decimal point of the locale's numbers.
        const bool commaDecimals = QLocale().decimalPoint() == QLatin1String(",");
        return ContentToText(Source, QChar(commaDecimals ? u';' : u','));
    }
    if (name.compare(QLatin1String(CFSTR_RTF), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1String(CFSTR_RTFNOOBJS), Qt::CaseInsensitive) == 0)
        return ContentToRTF(Source);
    if (name.compare(QLatin1String(CFSTR_HTML), Qt::CaseInsensitive) == 0)
        return ContentToHTML(Source);
    return {};
}

bool TCustomStringGridTree::RenderOLEData(
    const TClipboardFormatEntry &Format, QByteArray &Data, bool ForClipboard)
{
    if (TGridTreeView::RenderOLEData(Format, Data, ForClipboard))
        return true;
    Data = ContentToClipboard(Format, ForClipboard ? tstCutCopySet : tstSelected);
    return !Data.isEmpty();
}
