#include "dialogs/print/PrintJob.h"

#include "dialogs/print/PageDisplay.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"

#include <algorithm>

namespace {

// Replaces the first occurrence of `placeholder` only, as a line holds each once.
void ReplaceFirst(QString &text, const QString &placeholder, const QString &value)
{
    const qsizetype at = text.indexOf(placeholder);
    if (at >= 0)
        text.replace(at, placeholder.size(), value);
}

} // namespace

TPrintJob::TPrintJob(IPrinterDevice &printer)
    : FPrinter(printer)
{
    FGeometry.SetCaps(FPrinter.DeviceCaps());
}

TPrintJob::~TPrintJob()
{
    DonePrinting();
    if (FPrinter.Printing())
        FPrinter.Abort();
    ClearAll();
}

void TPrintJob::NewJob()
{
    ClearAll();
    FDonePrinting = false;
    FGeometry.SetCaps(FPrinter.DeviceCaps());
    FDoAbort = true;
}

int TPrintJob::NewPage()
{
    if (FDonePrinting)
        return -1;
    FMetafiles.push_back(std::make_unique<TPagePicture>());
    FCanvases.push_back(std::make_unique<TPageCanvas>(*FMetafiles.back(), FGeometry.Caps().LogPixelsY));
    MakeCurrent(GetPageCount());
    return FCurrentPage;
}

void TPrintJob::SetCurrentPage(int page)
{
    if (page >= 1 && page <= GetPageCount())
        MakeCurrent(page);
}

void TPrintJob::MakeCurrent(int page)
{
    if (page != FCurrentPage)
        if (TPageCanvas *previous = GetCanvas(FCurrentPage))
            previous->Close();
    FCurrentPage = page;
}

TPageCanvas *TPrintJob::GetCanvas(int page)
{
    if (page < 1 || page > int(FCanvases.size()))
        return nullptr;
    return FCanvases[std::size_t(page - 1)].get();
}

TPageFont *TPrintJob::GetFont()
{
    TPageCanvas *canvas = GetCurrentCanvas();
    return canvas ? &canvas->Font() : nullptr;
}

QPen *TPrintJob::GetPen()
{
    TPageCanvas *canvas = GetCurrentCanvas();
    return canvas ? &canvas->Pen() : nullptr;
}

QBrush *TPrintJob::GetBrush()
{
    TPageCanvas *canvas = GetCurrentCanvas();
    return canvas ? &canvas->Brush() : nullptr;
}

const TPagePicture *TPrintJob::GetMetafile(int page) const
{
    if (!FDonePrinting || page < 1 || page > GetPageCount())
        return nullptr;
    return FMetafiles[std::size_t(page - 1)].get();
}

void TPrintJob::DonePrinting()
{
    if (FDonePrinting)
        return;
    while (!FCanvases.empty())
        FCanvases.pop_back();
    FDonePrinting = true;
}

void TPrintJob::ClearAll()
{
    while (!FCanvases.empty())
        FCanvases.pop_back();
    FMetafiles.clear();
    ClearHeaders();
    FCurrentPage = 0;
}

TPageCanvas *TPrintJob::DrawingCanvas() const
{
    if (FDonePrinting || FCurrentPage < 1 || FCurrentPage > int(FCanvases.size()))
        return nullptr;
    return FCanvases[std::size_t(FCurrentPage - 1)].get();
}

void TPrintJob::Line(QPoint from, QPoint to)
{
    if (TPageCanvas *canvas = DrawingCanvas())
        canvas->Line(from + PrintableOffset(), to + PrintableOffset());
}

void TPrintJob::Rectangle(const TRect &rect)
{
    const QPoint offset = PrintableOffset();
    if (TPageCanvas *canvas = DrawingCanvas())
        canvas->Rectangle(OffsetRect(rect, offset.x(), offset.y()));
}

void TPrintJob::TextOut(int x, int y, int align, const QString &text)
{
    TPageCanvas *canvas = DrawingCanvas();
    if (!canvas)
        return;
    if (align == AlignRight)
        x -= canvas->TextWidth(text);
    else if (align == AlignCenter)
        x -= canvas->TextWidth(text) / 2;
    const QPoint offset = PrintableOffset();
    canvas->TextOut(x + offset.x(), y + offset.y(), text);
}

int TPrintJob::DrawText(TRect &rect, const QString &text, unsigned format)
{
    TPageCanvas *canvas = DrawingCanvas();
    if (!canvas)
        return 0;
    const QPoint offset = PrintableOffset();
    TRect onPage = OffsetRect(rect, offset.x(), offset.y());
    const int height = canvas->DrawText(onPage, text, format);
    rect = OffsetRect(onPage, -offset.x(), -offset.y());
    return height;
}

int TPrintJob::TextWidth(const QString &text) const
{
    const TPageCanvas *canvas = DrawingCanvas();
    return canvas ? canvas->TextWidth(text) : -1;
}

int TPrintJob::TextHeight() const
{
    const TPageCanvas *canvas = DrawingCanvas();
    return canvas ? canvas->TextHeight() : -1;
}

void TPrintJob::AddHeader(const QString &text, int line, int align)
{
    if (line == 0)
        throw EPrintHeaderError("line muss grösser oder kleiner 0 sein");
    if (line < -TPageGeometry::MaxLine || line > TPageGeometry::MaxLine)
        throw EPrintHeaderError("line muss zwischen -10 und 10 liegen");
    TPageCanvas *canvas = DrawingCanvas();
    if (!canvas)
        throw EPrintHeaderError("AddHeader needs a page to measure on: call NewPage first");
    FGeometry.GrowHeaderSize(line, canvas->TextHeight());
    FHeaders.push_back(THeader { text, line, align, canvas->Font() });
    std::stable_sort(
        FHeaders.begin(), FHeaders.end(), [](const THeader &a, const THeader &b) { return a.Line < b.Line; });
}

void TPrintJob::ClearHeaders()
{
    FHeaders.clear();
    FGeometry.ClearHeaderSizes();
}

void TPrintJob::PrintHeaderAndFooter()
{
    const int bodyWidth = PrintableSize(true, true).width();
    const QString count = QString::number(GetPageCount());
    for (int page = 1; page <= GetPageCount(); ++page) {
        SetCurrentPage(page);
        TPageCanvas *canvas = DrawingCanvas();
        if (!canvas)
            return;
        canvas->Brush() = Qt::NoBrush;
        for (const THeader &header : FHeaders) {
            canvas->Font() = header.Font;
            QString text = header.Str;
            ReplaceFirst(text, QStringLiteral("$PAGE_COUNT$"), count);
            ReplaceFirst(text, QStringLiteral("$PAGE_NO$"), QString::number(page));
            const int x = header.Align == AlignRight ? bodyWidth
                : header.Align == AlignCenter        ? bodyWidth / 2
                                                     : 0;
            TextOut(x, FGeometry.LineTop(header.Line), header.Align, text);
        }
    }
}

void TPrintJob::Change(const QString &text) const
{
    if (FOnChange)
        FOnChange(text);
}

bool TPrintJob::OpenPrinter()
{
    if (FPrinter.BeginDoc(FTitle))
        return true;
    FDoAbort = true;
    // No reason: the user cancelled (choosing the output file).
    if (!FPrinter.ErrorText().isEmpty())
        MessageDlg(FPrinter.ErrorText(), mtError, { mbOK });
    return false;
}

bool TPrintJob::ClosePrinter()
{
    if (FPrinter.EndDoc())
        return true;
    MessageDlg(FPrinter.ErrorText(), mtError, { mbOK });
    return false;
}

void TPrintJob::DoPrintPage(int page)
{
    Change(Translate(QStringLiteral("Drucke Seite %s von %s"),
        { QString::number(page), QString::number(GetPageCount()) }));
    QPainter *painter = FPrinter.Canvas();
    const TDeviceCaps &caps = FGeometry.Caps();
    if (painter)
        PlayPage(*painter, *GetMetafile(page), QSize(caps.HorzRes, caps.VertRes),
            QRectF(0, 0, caps.HorzRes, caps.VertRes));
}

bool TPrintJob::PrintAll()
{
    FDoAbort = false;
    DonePrinting();
    if (GetPageCount() == 0)
        return true;
    if (!OpenPrinter())
        return false;
    DoPrintPage(1);
    for (int page = 2; page <= GetPageCount(); ++page) {
        FPrinter.NewPage();
        DoPrintPage(page);
    }
    return ClosePrinter();
}

bool TPrintJob::PrintPage(int page)
{
    FDoAbort = false;
    DonePrinting();
    if (page < 1 || page > GetPageCount())
        return true;
    if (!OpenPrinter())
        return false;
    DoPrintPage(page);
    if (!ClosePrinter())
        return false;
    Change(Translate(QStringLiteral("Seite %s von %s gedruckt"),
        { QString::number(page), QString::number(GetPageCount()) }));
    return true;
}

void TPrintJob::Close()
{
    DonePrinting();
    if (!FDoAbort)
        return;
    Change(Translate(QStringLiteral("Druckauftrag wird abgebrochen")));
    if (FPrinter.Printing())
        FPrinter.Abort();
    Change(Translate(QStringLiteral("Druckauftrag ist abgebrochen")));
}
