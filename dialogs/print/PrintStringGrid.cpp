#include "dialogs/print/PrintJob.h"
#include "dialogs/print/StringGrid.h"
#include "platform/gui/Fonts.h"
#include "platform/gui/TextDraw.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// One printed column: the grid column, its text width (measured, then narrowed or
// scaled), and the measures of its cells at the font being tried.
struct TPrintedColumn {
    int Index = 0;
    int Width = 0;
    int Average = 0;
    int Short = 0;
    int Left = 0; // in body coordinates, once laid out
    std::vector<int> CellWidths; // by grid row
};

// The table's measures at one font size.
struct TGridMetrics {
    int H = 0; // line height
    int G = 0; // gap
    int P = 0; // padding
};

int SmallerSize(int size)
{
    return size > 0 ? size - 1 : size + 1; // towards 0
}

} // namespace

// Lays a grid out and prints it through the job: the printed columns with their
// widths, and the caption block, rows and boundaries on as many pages as it takes.
class TGridPrinter {
public:
    TGridPrinter(TPrintJob &job, const TStringGrid &grid, const QString &title, bool lines)
        : FJob(job)
        , FGrid(grid)
        , FTitle(title)
        , FLines(lines)
    {
        for (int c = 0; c < grid.ColCount(); ++c)
            if (grid.ColWidth(c) != 0)
                FColumns.push_back({ c, 0, 0, 0, 0, {} });
    }

    // Finds the widths and the font, and places the columns in `bodyWidth`.
    void Layout(int bodyWidth)
    {
        TPageFont &font = *FJob.GetFont();
        const int s0 = std::abs(font.Size());
        for (;;) {
            Measure(font);
            if (Total() > bodyWidth) {
                for (TPrintedColumn &column : FColumns)
                    if (column.Width > int(std::nearbyint(1.5 * column.Average)))
                        column.Width = column.Short;
            }
            if (Total() > bodyWidth && std::abs(font.Size()) > int(std::nearbyint(0.7 * s0))) {
                font.SetSize(SmallerSize(font.Size()));
                continue;
            }
            break;
        }
        if (Total() > bodyWidth) {
            long long sum = 0;
            for (const TPrintedColumn &column : FColumns)
                sum += column.Width;
            const long long room = std::max<long long>(0, bodyWidth - FM.P * int(FColumns.size()));
            for (TPrintedColumn &column : FColumns)
                column.Width = sum > 0 ? int(column.Width * room / sum) : 0;
        }
        FLeft = std::max(0, (bodyWidth - Total()) / 2);
        int x = FLeft;
        for (TPrintedColumn &column : FColumns) {
            column.Left = x;
            x += column.Width + FM.P;
        }
        FRight = x;
        FFont = font;
    }

    TPrintJob::TGridLayout Print(int y, int firstRow, int lastRow)
    {
        FBodyHeight = FJob.PrintableSize(true, true).height();
        CaptionBlock(y);
        // Without a printed column the rows would be empty lines over many pages.
        if (!FColumns.empty())
            for (int row = firstRow; row <= lastRow; ++row) {
                DrawRow(row, y);
                y += FM.H;
                if (row < lastRow && y + FM.G + FM.H > FBodyHeight) {
                    Boundary(y);
                    NewPage(y);
                    CaptionBlock(y);
                } else if (FLines) {
                    HorizontalLine(y);
                    y += FM.G;
                }
            }
        Boundary(y);
        return { FLeft, FRight, y };
    }

private:
    int Total() const
    {
        int total = 0;
        for (const TPrintedColumn &column : FColumns)
            total += column.Width + FM.P;
        return total;
    }

    void Measure(const TPageFont &font)
    {
        const QFontMetrics metrics(font.Font());
        FM.H = metrics.height();
        FM.G = FM.H / 5;
        FM.P = metrics.horizontalAdvance(QStringLiteral("N"));
        const int rows = FGrid.RowCount();
        for (TPrintedColumn &column : FColumns) {
            column.CellWidths.resize(std::size_t(rows));
            long long sum = 0;
            int widest = 0;
            for (int row = 0; row < rows; ++row) {
                const QString &text = FGrid.Cell(column.Index, row);
                const int width = text.isEmpty() ? 0 : metrics.horizontalAdvance(text);
                column.CellWidths[std::size_t(row)] = width;
                sum += width;
                widest = std::max(widest, width);
            }
            column.Width = widest;
            column.Average = rows > 0 ? int(sum / rows) : 0;
            int shortest = 0;
            for (const int width : column.CellWidths)
                if (width <= column.Average)
                    shortest = std::max(shortest, width);
            column.Short = shortest + FM.P;
        }
    }

    QPainter &Painter() { return FJob.GetCurrentCanvas()->Painter(); }
    QPoint Offset() const { return FJob.PrintableOffset(); }

    // A page started here takes the table's font, which may have been made smaller.
    void NewPage(int &y)
    {
        FJob.NewPage();
        if (TPageFont *font = FJob.GetFont())
            *font = FFont;
        y = 0;
    }

    void CaptionBlock(int &y)
    {
        const int block = (FTitle.isEmpty() ? 0 : FM.H + FM.G) + FM.H + 3 * FM.G;
        // A fresh page takes the block whatever its height; on a page begun the
        // block and one row below it must fit above the footer.
        if (y > 0 && y + block + FM.H + FM.G > FBodyHeight)
            NewPage(y);
        if (!FTitle.isEmpty()) {
            TPageFont &font = *FJob.GetFont();
            font.SetBold(true);
            FJob.TextOut(FLeft, y, TPrintJob::AlignLeft, FTitle);
            font.SetBold(FFont.Bold());
            y += FM.H + FM.G;
        }
        FSectionTop = y;
        TPageCanvas &canvas = *FJob.GetCurrentCanvas();
        const QBrush brush = canvas.Brush();
        const QPen pen = canvas.Pen();
        canvas.Brush() = QBrush(ToQColor(clBtnFace));
        canvas.Pen() = QPen(Qt::black, 0);
        FJob.Rectangle(Rect(FLeft, y, FRight, y + FM.H + 2 * FM.G));
        canvas.Brush() = brush;
        canvas.Pen() = pen;
        DrawRow(0, y + FM.G);
        y += FM.H + 3 * FM.G;
    }

    void DrawRow(int row, int y)
    {
        QPainter &painter = Painter();
        painter.setFont(FFont.Font());
        painter.setPen(ToQColor(FFont.Color()));
        painter.setBackgroundMode(Qt::TransparentMode);
        const QFontMetrics metrics(FFont.Font());
        const QPoint offset = Offset();
        const int baseline = offset.y() + y + metrics.ascent();
        for (const TPrintedColumn &column : FColumns) {
            const QString &text = FGrid.Cell(column.Index, row);
            if (text.isEmpty())
                continue;
            const int left = column.Left + FM.P / 2;
            const int room = column.Left + column.Width + FM.P - FM.P / 2 - left;
            int width = column.CellWidths[std::size_t(row)];
            const QString *shown = &text;
            QString cut;
            if (width > room) {
                cut = EndEllipsis(text, metrics, room);
                width = metrics.horizontalAdvance(cut);
                shown = &cut;
            }
            int x = left;
            if (FGrid.Alignment(column.Index) == TStringGrid::AlignRight)
                x = left + room - width;
            else if (FGrid.Alignment(column.Index) == TStringGrid::AlignCenter)
                x = left + (room - width) / 2;
            painter.drawText(offset.x() + x, baseline, *shown);
        }
    }

    void HorizontalLine(int y)
    {
        TPageCanvas &canvas = *FJob.GetCurrentCanvas();
        const QPen pen = canvas.Pen();
        canvas.Pen() = QPen(ToQColor(clBtnFace), 0);
        FJob.Line({ FLeft, y }, { FRight, y });
        canvas.Pen() = pen;
    }

    // The column lines and the frame around the section drawn on this page.
    void Boundary(int y)
    {
        TPageCanvas &canvas = *FJob.GetCurrentCanvas();
        const QPen pen = canvas.Pen();
        const QBrush brush = canvas.Brush();
        if (FLines) {
            canvas.Pen() = QPen(ToQColor(clBtnFace), 0);
            for (std::size_t c = 1; c < FColumns.size(); ++c)
                FJob.Line({ FColumns[c].Left, FSectionTop }, { FColumns[c].Left, y });
        }
        canvas.Pen() = QPen(Qt::black, 0);
        canvas.Brush() = Qt::NoBrush;
        FJob.Rectangle(Rect(FLeft, FSectionTop, FRight, y));
        canvas.Pen() = pen;
        canvas.Brush() = brush;
    }

    TPrintJob &FJob;
    const TStringGrid &FGrid;
    QString FTitle;
    bool FLines;
    std::vector<TPrintedColumn> FColumns;
    TGridMetrics FM;
    TPageFont FFont { 96 };
    int FLeft = 0;
    int FRight = 0;
    int FSectionTop = 0;
    int FBodyHeight = 0;
};

TPrintJob::TGridLayout TPrintJob::PrintStringGrid(
    const TStringGrid &grid, const QString &title, int startY, int firstRow, int lastRow, bool lines)
{
    TPageFont *font = GetFont();
    if (!font || FDonePrinting)
        return { 0, 0, startY };
    const int s0 = font->Size();
    firstRow = std::max(firstRow, 1);
    lastRow = std::min(lastRow, grid.RowCount() - 1);
    TGridPrinter printer(*this, grid, title, lines);
    printer.Layout(PrintableSize(true, true).width());
    const TGridLayout layout = printer.Print(startY, firstRow, lastRow);
    if (TPageFont *last = GetFont())
        last->SetSize(s0);
    return layout;
}
