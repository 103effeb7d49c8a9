#pragma once

#include "dialogs/print/PageCanvas.h"
#include "dialogs/print/PageGeometry.h"
#include "dialogs/print/PrinterDevice.h"

#include <QString>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

class TStringGrid;

// A header or footer line registration that cannot be accepted.
class EPrintHeaderError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// A print job without windows: pages are recorded as pictures in printer pixels,
// header and footer lines are registered once and stamped onto every page, and only
// printing opens a job on the printer. Drawing places everything in body
// coordinates: (0, 0) is the body's top left, below the header lines and right of
// the punch margin.
class TPrintJob {
public:
    enum TAlign { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };

    // A registered header or footer line.
    struct THeader {
        QString Str;
        int Line = 0;
        int Align = AlignLeft;
        TPageFont Font;
    };

    explicit TPrintJob(IPrinterDevice &printer);
    virtual ~TPrintJob();
    TPrintJob(const TPrintJob &) = delete;
    TPrintJob &operator=(const TPrintJob &) = delete;

    IPrinterDevice &Printer() const { return FPrinter; }

    // Starts a new job with no pages and no header lines, and takes the printer's
    // current values for its layout.
    void NewJob();
    // Adds a page and makes it current; its number from 1, or -1 when recording is
    // finished.
    int NewPage();
    int CurrentPage() const { return FCurrentPage; }
    // Ignored unless 1 <= page <= GetPageCount().
    void SetCurrentPage(int page);
    // The page's canvas while recording; null outside 1..GetPageCount() or once
    // recording is finished.
    TPageCanvas *GetCanvas(int page);
    TPageCanvas *GetCurrentCanvas() { return GetCanvas(FCurrentPage); }
    // The current page's font, pen and brush (null without a current canvas).
    TPageFont *GetFont();
    QPen *GetPen();
    QBrush *GetBrush();
    // What was recorded on the page, only once recording is finished.
    const TPagePicture *GetMetafile(int page) const;
    int GetPageCount() const { return int(FMetafiles.size()); }
    // Completes every page; nothing can be drawn afterwards.
    void DonePrinting();
    bool IsDonePrinting() const { return FDonePrinting; }
    void ClearAll();

    bool Lochrand() const { return FGeometry.Lochrand(); }
    void SetLochrand(bool on) { FGeometry.SetLochrand(on); }
    QString Title() const { return FTitle; }
    void SetTitle(const QString &title) { FTitle = title; }
    // Progress and state texts for the caller.
    void SetOnChange(std::function<void(const QString &)> handler) { FOnChange = std::move(handler); }

    const TPageGeometry &Geometry() const { return FGeometry; }
    QSize PrintableSize(bool withHeaders, bool withMargin) const
    {
        return FGeometry.PrintableSize(withHeaders, withMargin);
    }
    QPoint PrintableOffset() const { return FGeometry.PrintableOffset(); }
    QSize PhysicalSize() const { return FGeometry.PhysicalSize(); }
    QPoint PhysicalOffset() const { return FGeometry.PhysicalOffset(); }
    QSize PixelsPerInch() const { return FGeometry.PixelsPerInch(); }
    int HeaderSize() const { return FGeometry.HeaderSize(); }
    int FooterSize() const { return FGeometry.FooterSize(); }

    // Drawing on the current page in body coordinates; ignored without a current
    // page or once recording is finished.
    void Line(QPoint from, QPoint to);
    void Rectangle(const TRect &rect);
    // Text with its top at y; by `align` starting at x, ending at x or centred on x.
    void TextOut(int x, int y, int align, const QString &text);
    // Text laid out in `rect` by DT_* flags; with DT_CALCRECT `rect` receives the
    // extent. Returns the text height (0 when ignored).
    int DrawText(TRect &rect, const QString &text, unsigned format);
    // Measures in the current page's font; -1 without a current page or once
    // recording is finished.
    int TextWidth(const QString &text) const;
    int TextHeight() const;

    // Registers `text` on header line 1..10 or footer line -1..-10 with the current
    // font; "$PAGE_NO$" and "$PAGE_COUNT$" are filled in per page. Throws
    // EPrintHeaderError for line 0 or a line beyond 10. Needs a current page.
    void AddHeader(const QString &text, int line, int align);
    void ClearHeaders();
    // The registered lines, by line number.
    const std::vector<THeader> &Headers() const { return FHeaders; }
    // Stamps every registered line onto every page.
    void PrintHeaderAndFooter();

    // Where a printed table lies: its left and right edge and the y below it, in
    // body coordinates.
    struct TGridLayout {
        int Left = 0;
        int Right = 0;
        int Y = 0;
    };
    // Prints rows firstRow..lastRow of `grid` from body y `startY` on, below its
    // caption row (row 0) and `title` (bold; none when empty), as a ruled table of
    // the columns whose grid width is not 0, with lines between the rows when
    // `lines`. Too wide a table has its long columns narrowed, then its font made
    // smaller (to 70 % of the size at most), then its columns scaled to the body's
    // width; a narrower one is centred. Rows continue on new pages, each starting
    // with the caption row. The font's size is as before afterwards.
    TGridLayout PrintStringGrid(
        const TStringGrid &grid, const QString &title, int startY, int firstRow, int lastRow, bool lines);

    // Print every page, or page `page` alone, on the printer; false when nothing
    // was printed because the printer or file failed (the user has been told).
    bool PrintAll();
    bool PrintPage(int page);
    // The preview has closed: recording ends, and an unprinted job is dropped.
    void Close();

private:
    void Change(const QString &text) const;
    TPageCanvas *DrawingCanvas() const;
    // Makes `page` current; the page drawn on before is completed.
    void MakeCurrent(int page);
    void DoPrintPage(int page);
    bool OpenPrinter();
    bool ClosePrinter();

    IPrinterDevice &FPrinter;
    TPageGeometry FGeometry;
    std::vector<THeader> FHeaders; // sorted by line
    bool FDoAbort = false;
    int FCurrentPage = 0;
    std::vector<std::unique_ptr<TPageCanvas>> FCanvases;
    bool FDonePrinting = false;
    std::vector<std::unique_ptr<TPagePicture>> FMetafiles;
    QString FTitle;
    std::function<void(const QString &)> FOnChange;
};
