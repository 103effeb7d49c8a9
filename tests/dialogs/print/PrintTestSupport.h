// Shared by the printing tests: a made-up printer whose pages are kept as images, a
// PDF printer with fixed values, and readers of the PDF tools' output.
#pragma once

#include "dialogs/print/PrinterDevice.h"
#include "dialogs/print/QtPrinterDevice.h"
#include "tests/support/PixelTest.h"

#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <optional>

namespace printtest {

// 100 pixels per inch: an 800 x 1100 sheet, a 740 x 1010 printable area at (30, 40),
// millimetres chosen so that a 400 x 550 box halves pixels and doubles millimetres.
inline constexpr TDeviceCaps FakeCaps { 200, 275, 740, 1010, 100, 100, 800, 1100, 30, 40 };

class TFakePrinter : public IPrinterDevice {
public:
    ~TFakePrinter() override { EndDoc(); }
    TDeviceCaps DeviceCaps() const override { return FakeCaps; }
    bool BeginDoc(const QString &title) override
    {
        ++BeginCount;
        Title = title;
        return NewPage();
    }
    QPainter *Canvas() override { return FPainter.isActive() ? &FPainter : nullptr; }
    bool NewPage() override
    {
        EndDoc();
        QImage &page = Pages.emplace_back(FakeCaps.HorzRes, FakeCaps.VertRes, QImage::Format_ARGB32);
        page.setDotsPerMeterX(3937); // 100 dpi, so pages replay at the printer's resolution
        page.setDotsPerMeterY(3937);
        page.fill(Qt::white);
        return FPainter.begin(&page);
    }
    bool EndDoc() override { return !FPainter.isActive() || FPainter.end(); }
    void Abort() override { EndDoc(); }
    bool Printing() const override { return FPainter.isActive(); }
    QString ErrorText() const override { return {}; }

    int BeginCount = 0;
    QString Title;
    std::deque<QImage> Pages; // printed pages, printable area only

private:
    QPainter FPainter;
};

// 600 dpi on A4 with half-inch margins: the printable area starts 300 pixels (36 pt)
// in from the sheet's left and top edges.
inline void SetUpPdfPrinter(QPrinter &printer, const QString &path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(600);
    printer.setPageLayout(QPageLayout(
        QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(36, 36, 36, 36), QPageLayout::Point));
    printer.setOutputFileName(path);
}

// Printer pixels at 600 dpi in PDF points.
constexpr double Pt(double pixels)
{
    return pixels * 72.0 / 600.0;
}

// The full line height of the test font at `pixels`.
inline int LineHeight(int pixels)
{
    QFont font(QString::fromLatin1(testsupport::TestFontFamily));
    font.setPixelSize(pixels);
    return QFontMetrics(font).height();
}

// Pins the page font to the test family, whatever the machine maps Arial to.
inline void PinPageFont()
{
    QFont::insertSubstitution(QStringLiteral("Arial"), QString::fromLatin1(testsupport::TestFontFamily));
}

inline QString RunTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A word of the PDF: from its text origin to its end, and from its baseline less the
// font's ascent to the baseline plus its descent, in points from the sheet's top left.
struct TWordBox {
    QString Text;
    int Page = 0;
    double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
};

inline std::vector<TWordBox> PdfWords(const QString &path)
{
    static const QRegularExpression item(QStringLiteral(
        R"re(<page |<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re"));
    std::vector<TWordBox> words;
    int page = 0;
    const QString html
        = RunTool(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), path, QStringLiteral("-") });
    for (auto it = item.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(5).isEmpty() && m.captured(0).startsWith(QStringLiteral("<page")))
            ++page;
        else
            words.push_back({ m.captured(5), page, m.captured(1).toDouble(), m.captured(2).toDouble(),
                m.captured(3).toDouble(), m.captured(4).toDouble() });
    }
    return words;
}

inline std::optional<TWordBox> FindWord(const std::vector<TWordBox> &words, const QString &text, int page = 0)
{
    for (const TWordBox &w : words)
        if (w.Text == text && (page == 0 || w.Page == page))
            return w;
    return std::nullopt;
}

// A field of pdfinfo's report ("Pages", "Page size", "Title").
inline QString PdfInfo(const QString &path, const QString &field)
{
    for (const QString &line : RunTool(QStringLiteral("pdfinfo"), { path }).split(QLatin1Char('\n')))
        if (line.startsWith(field + QLatin1Char(':')))
            return line.mid(field.size() + 1).trimmed();
    return {};
}

// The smallest rectangle holding every pixel darker than mid grey in `area`.
inline QRect DarkBounds(const QImage &image, const QRect &area)
{
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace printtest
