// The string tree's content exports, checked against text written by hand from
// the formats: a header line or row from the visible columns, one line or row
// per node with the main column indented by level, export mode and node vetoes.
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "tests/components/gui/CellTreeSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace treetest;

namespace {

// Task (main, 100 px), Start (80 px) and Note (60 px, yellow, right aligned):
// "A" with the child "A1" (checked), then "B".
struct TExportTree : TCellTree {
    TGridNode *a;
    TGridNode *a1;
    TGridNode *b;

    TExportTree()
    {
        QPalette p = palette();
        p.setColor(QPalette::WindowText, Qt::black);
        p.setColor(QPalette::ButtonText, Qt::black);
        setPalette(p);
        setFont(QFont(QStringLiteral("Liberation Sans"), 8));
        QFont header(QStringLiteral("Liberation Serif"), 9);
        header.setBold(true);
        Header().SetFont(header);
        SetColor(clWhite);
        AddColumns(*this, { 100, 80, 60 });
        Header().Columns()[0].SetText(QStringLiteral("Task"));
        Header().Columns()[1].SetText(QStringLiteral("Start"));
        TGridTreeColumn &note = Header().Columns()[2];
        note.SetText(QStringLiteral("Note"));
        note.SetAlignment(taRightJustify);
        note.SetOptions(note.Options() - TGTColumnOptions { coParentColor });
        note.SetColor(clYellow);
        a = Add(nullptr, { "A", "1.2.", "x \"y\"" });
        a1 = Add(a, { "A1", "3.4.", "tab\there" });
        b = Add(nullptr, { "B", "", "last" });
        Tree()->SetCheckType(a1, TCheckType::ctCheckBox);
        Tree()->SetCheckState(a1, csCheckedNormal);
        Tree()->SetCheckType(b, TCheckType::ctCheckBox);
    }
};

QString Lines(std::initializer_list<const char *> Lines)
{
    QString result;
    for (const char *line : Lines)
        result += QString::fromUtf8(line) + QStringLiteral("\r\n");
    return result;
}

} // namespace

TEST(GridTreeExport, TextFormsWriteHeaderAndIndentedRowsAndQuoteCellsAlike)
{
    TExportTree tree;
    // The separator, a double quote and line breaks all quote a cell; inner
    // quotes are doubled in both forms.
    const QString expected = Lines(
        { "Task\t\tStart\tNote", "A\t\t1.2.\t\"x \"\"y\"\"\"", "\tA1\t3.4.\t\"tab\there\"", "B\t\t\tlast" });
    EXPECT_EQ(tree.ContentToUnicode(tstAll, QChar(u'\t')), expected);
    EXPECT_EQ(QString::fromUtf8(tree.ContentToText(tstAll, QChar(u'\t'))), expected);

    // A longer separator indents by its whole length; a line break quotes too.
    tree.Cells(tree.b)[2] = QStringLiteral("two\r\nlines");
    EXPECT_EQ(tree.ContentToUnicode(tstAll, QStringLiteral("; ")),
        Lines({ "Task; ; Start; Note", "A; ; 1.2.; \"x \"\"y\"\"\"", "; A1; 3.4.; tab\there",
            "B; ; ; \"two\r\nlines\"" }));
}

TEST(GridTreeExport, WithoutColumnsEachNodeIsOneIndentedLine)
{
    TCellTree tree;
    TGridNode *a = tree.Add(nullptr, { "A" });
    TGridNode *a1 = tree.Add(a, { "A1" });
    tree.Add(a1, { "A11" });
    tree.Add(nullptr, { "B;C" });
    EXPECT_EQ(tree.ContentToUnicode(tstAll, QChar(u';')), Lines({ "A", ";A1", ";;A11", "\"B;C\"" }));
}

TEST(GridTreeExport, SourcesModeAndVetoesChooseTheRows)
{
    TExportTree tree;
    tree.Tree()->AddToSelection(tree.b);
    const auto rows = [](const QString &Text) { return Text.split(QStringLiteral("\r\n")).mid(1); };
    EXPECT_EQ(rows(tree.ContentToUnicode(tstSelected, QChar(u',')))[0], QStringLiteral("B,,last"));
    // A is collapsed: its child is not visible.
    EXPECT_EQ(rows(tree.ContentToUnicode(tstVisible, QChar(u','))).size(), 3);

    // Only checked nodes; the Unicode form writes every node all the same.
    tree.SetExportMode(emChecked);
    EXPECT_EQ(QString::fromUtf8(tree.ContentToText(tstAll, QChar(u','))),
        Lines({ "Task,,Start,Note", ",A1,3.4.,tab\there" }));
    EXPECT_EQ(rows(tree.ContentToUnicode(tstAll, QChar(u','))).size(), 4);
    EXPECT_FALSE(tree.ContentToHTML(tstAll).contains(">A<"));
    EXPECT_TRUE(tree.ContentToHTML(tstAll).contains(">A1<"));
    EXPECT_FALSE(tree.ContentToRTF(tstAll).contains("\\u66\\'3f"));
    tree.SetExportMode(emUnchecked);
    EXPECT_EQ(QString::fromUtf8(tree.ContentToText(tstAll, QChar(u','))),
        Lines({ "Task,,Start,Note", "A,,1.2.,\"x \"\"y\"\"\"", "B,,,last" }));

    // The owner's veto, and the events around each node written.
    tree.SetExportMode(emAll);
    QStringList events;
    tree.OnBeforeNodeExport = [&](TGridTreeView &, TGTExportType, TGridNode *Node) {
        events << "before " + tree.Cells(Node)[0];
        return Node != tree.a;
    };
    tree.OnAfterNodeExport
        = [&](TGridTreeView &, TGTExportType, TGridNode *Node) { events << "after " + tree.Cells(Node)[0]; };
    EXPECT_EQ(QString::fromUtf8(tree.ContentToText(tstAll, QChar(u','))),
        Lines({ "Task,,Start,Note", ",A1,3.4.,tab\there", "B,,,last" }));
    EXPECT_EQ(events, QStringList({ "before A", "before A1", "after A1", "before B", "after B" }));
    events.clear();
    tree.ContentToUnicode(tstAll, QChar(u','));
    EXPECT_TRUE(events.isEmpty());
}

TEST(GridTreeExport, HtmlTableCarriesStylesHeaderAndIndentedRows)
{
    TExportTree tree;
    tree.Tree()->DeleteNode(tree.b);
    tree.TreeOptions().SetPaintOptions(
        tree.TreeOptions().PaintOptions() + TGTPaintOptions { toShowHorzGridLines });
    // A cell whose font OnPaintText changes carries its own style.
    tree.OnPaintText
        = [&](TCustomStringGridTree &, QPainter &Canvas, TGridNode *Node, TColumnIndex Column, TGSTTextType) {
              if (Node == tree.a1 && Column == 2) {
                  QFont bold = Canvas.font();
                  bold.setBold(true);
                  Canvas.setFont(bold);
              }
          };
    tree.Cells(tree.a)[1] = QString::fromUtf8("<b>&</b> \xF0\x9F\x98\x80");
    const QByteArray expected = QByteArray()
        + "<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n"
          "<style type=\"text/css\">\r\n"
          ".default{font: 8pt \"Liberation Sans\";color:#000000;}\r\n"
          ".header{font: bold 9pt \"Liberation Serif\";color:#000000;}\r\n"
          ".noborder{border-style:dotted; border-bottom:1;border-left:0;border-right:0; border-top:0;"
          "padding-left:4px;padding-right:4px;}\r\n"
          ".normalborder {border-top:none; border-left:none; vertical-align:top;border-right:none;"
          "border-bottom:1 dotted;padding-left:4px;padding-right:4px;}\r\n"
          "</style>\r\n"
          "<table class=\"default\" bgcolor=#FFFFFF caption=\"Plan &amp; &quot;Co&quot;\" border=\"1\" "
          "frame=box "
          "cellspacing=\"0\" cellpadding=4>\r\n"
          "<tr class=\"header\" style=\"padding-left:4px;padding-right:4px;\">"
          "<th height=\"17px\" align=left colspan=\"2\" width=\"100px\">Task</th>"
          "<th height=\"17px\" align=left width=\"80px\">Start</th>"
          "<th height=\"17px\" align=right bgcolor=#FFFF00 width=\"60px\">Note</th></tr>\r\n"
          " <tr class=\"default\">\r\n"
          " <td class=\"normalborder\"  height=\"18px\" align=left colspan=\"2\">A</td>\r\n"
          " <td class=\"normalborder\"  height=\"18px\" align=left>&lt;b&gt;&amp;&lt;/b&gt; "
          "\xF0\x9F\x98\x80</td>\r\n"
          " <td class=\"normalborder\"  height=\"18px\" align=right bgcolor=#FFFF00>x &quot;y&quot;</td>\r\n"
          " </tr>\r\n"
          " <tr class=\"default\">\r\n"
          " <td height=\"18px\">&nbsp;</td>\r\n"
          " <td class=\"normalborder\"  height=\"18px\" align=left>A1</td>\r\n"
          " <td class=\"normalborder\"  height=\"18px\" align=left>3.4.</td>\r\n"
          " <td class=\"normalborder\"  style=\"{font: bold 8pt \"Liberation Sans\";color:#000000;}\" "
          "height=\"18px\" align=right bgcolor=#FFFF00>tab\there</td>\r\n"
          " </tr>\r\n"
          "</table>";
    EXPECT_EQ(tree.ContentToHTML(tstAll, QStringLiteral("Plan & \"Co\"")), expected);

    // A main column with a colour of its own fills the indentation with it.
    TGridTreeColumn &task = tree.Header().Columns()[0];
    task.SetOptions(task.Options() - TGTColumnOptions { coParentColor });
    task.SetColor(clSilver);
    EXPECT_TRUE(tree.ContentToHTML(tstAll).contains(
        "<td class=\"noborder\" width=\"18\" height=\"18px\" bgcolor=#C0C0C0>&nbsp;</td>\r\n"));
}

TEST(GridTreeExport, RtfTableSwitchesFontsColoursAndSizesOnlyOnChange)
{
    TExportTree tree;
    tree.Tree()->DeleteNode(tree.b);
    tree.Header().Columns()[1].SetOptions(
        tree.Header().Columns()[1].Options() - TGTColumnOptions { coVisible });
    tree.OnPaintText
        = [&](TCustomStringGridTree &, QPainter &Canvas, TGridNode *Node, TColumnIndex Column, TGSTTextType) {
              if (Node == tree.a1 && Column == 2)
                  Canvas.setPen(QColor(255, 0, 0));
          };
    // Every character as \u; from U+8000 on as a negative 16-bit value; line
    // feeds as paragraphs, carriage returns dropped.
    tree.Cells(tree.a)[2] = QString::fromUtf8("\xC3\x84\xE8\x80\x80\r\nz");
    const QByteArray expected = QByteArray()
        + "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl{\\f0 Liberation Serif;}{\\f1 Liberation "
          "Sans;}}"
          "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}"
          "\\uc1\\trowd\\trgaph70\\cellx1500\\cellx2400"
          "\\pard\\intbl\\b\\f0\\cf1\\fs18 \\u84\\'3f\\u97\\'3f\\u115\\'3f\\u107\\'3f\\b0\\cell"
          "\\pard\\intbl\\qr\\b \\u78\\'3f\\u111\\'3f\\u116\\'3f\\u101\\'3f\\b0\\cell\\row"
          "\\pard\\intbl\\f1\\fs16 \\u65\\'3f\\cell"
          "\\pard\\intbl\\qr \\u196\\'3f\\u-32768\\'3f{\\par}\\u122\\'3f\\cell\\row"
          "\\pard\\intbl\\tab \\u65\\'3f\\u49\\'3f\\cell"
          "\\pard\\intbl\\qr\\cf2 "
          "\\u116\\'3f\\u97\\'3f\\u98\\'3f\\u9\\'3f\\u104\\'3f\\u101\\'3f\\u114\\'3f\\u101\\'3f"
          "\\cell\\row"
          "\\pard\\par}";
    EXPECT_EQ(tree.ContentToRTF(tstAll), expected);

    // Characters that would end a font's entry are escaped in its name.
    QFont odd(QStringLiteral("Odd{\\}"), 8);
    tree.setFont(odd);
    EXPECT_TRUE(tree.ContentToRTF(tstAll).contains("{\\f1 Odd\\{\\\\\\};}"));
}

TEST(GridTreeExport, EventsFrameTheTableExports)
{
    TExportTree tree;
    QStringList events;
    const auto name
        = [](TGTExportType Type) { return Type == etHTML ? QStringLiteral("html") : QStringLiteral("rtf"); };
    tree.OnBeforeTreeExport = [&](TGridTreeView &, TGTExportType Type) { events << "tree " + name(Type); };
    tree.OnAfterTreeExport = [&](TGridTreeView &, TGTExportType) { events << "end"; };
    tree.OnBeforeHeaderExport = [&](TGridTreeView &, TGTExportType) { events << "header"; };
    tree.OnAfterHeaderExport = [&](TGridTreeView &, TGTExportType) { events << "/header"; };
    tree.OnBeforeColumnExport
        = [&](TGridTreeView &, TGTExportType, TGridTreeColumn &Column) { events << Column.Text(); };
    tree.OnBeforeNodeExport = [&](TGridTreeView &, TGTExportType, TGridNode *Node) {
        events << tree.Cells(Node)[0];
        return true;
    };
    for (const bool html : { true, false }) {
        events.clear();
        html ? (void)tree.ContentToHTML(tstAll) : (void)tree.ContentToRTF(tstAll);
        EXPECT_EQ(events,
            QStringList({ html ? "tree html" : "tree rtf", "header", "Task", "Start", "Note", "/header", "A",
                "A1", "B", "end" }));
    }
}

TEST(GridTreeExport, HtmlFragmentOffsetsCountBytes)
{
    // The description is 97 bytes, the document's head 172 more.
    for (const QByteArray &fragment : { QByteArray(), QByteArray("<b>x</b>"),
             QString::fromUtf8("\xC3\xA4\xE2\x82\xAC").toUtf8(), QByteArray(1000, 'x') }) {
        const QByteArray result = MakeFragment(fragment);
        const auto field = [&](const char *Name) {
            const qsizetype at = result.indexOf(Name) + qsizetype(qstrlen(Name));
            return result.mid(at, 8).toInt();
        };
        EXPECT_TRUE(result.startsWith("Version:1.0\r\nStartHTML:00000097\r\n"));
        EXPECT_EQ(field("StartHTML:"), 97);
        EXPECT_EQ(field("StartFragment:"), 269);
        EXPECT_EQ(field("EndFragment:"), 269 + fragment.size());
        EXPECT_EQ(field("EndHTML:"), 269 + fragment.size() + 32);
        EXPECT_EQ(result.size(), 269 + fragment.size() + 32);
        EXPECT_EQ(result.mid(97, 9), "<!DOCTYPE");
        EXPECT_EQ(result.mid(269, fragment.size()), fragment);
        EXPECT_EQ(result.mid(269 + fragment.size()), "<!--EndFragment--></body></html>");
    }
}
