// Shared by the printing tests: a printer with made-up values whose output is kept
// as images, a PDF printer with fixed values, and readers of the PDF tools' output.
#pragma once

#include "dialogs/print/PrinterDevice.h"
#include "dialogs/print/QtPrinterDevice.h"
#include "support/PixelTest.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace printtest {

// A made-up printer at 100 pixels per inch: an 800 x 1100 sheet, a 740 x 1010
// printable area at (30, 40). Its millimetre sizes are chosen so that a 400 x 550
// preview box scales both pixels and millimetres by exact factors (0.5 and 2).
inline TDeviceCaps FakeCaps()
{
    TDeviceCaps caps;
    caps.HorzSize = 200;
    caps.VertSize = 275;
    caps.HorzRes = 740;
    caps.VertRes = 1010;
    caps.LogPixelsX = 100;
    caps.LogPixelsY = 100;
    caps.PhysicalWidth = 800;
    caps.PhysicalHeight = 1100;
    caps.PhysicalOffsetX = 30;
    caps.PhysicalOffsetY = 40;
    return caps;
}

// Keeps each printed page as an image of the printable area.
class TFakePrinter : public IPrinterDevice {
public:
    explicit TFakePrinter(TDeviceCaps caps = FakeCaps())
        : FCaps(caps)
    { }
    ~TFakePrinter() override { EndPainter(); }

    TDeviceCaps DeviceCaps() const override { return FCaps; }
    bool BeginDoc(const QString &title) override
    {
        ++BeginCount;
        Title = title;
        AddPage();
        return true;
    }
    QPainter *Canvas() override { return FPainter.isActive() ? &FPainter : nullptr; }
    bool NewPage() override
    {
        AddPage();
        return true;
    }
    bool EndDoc() override
    {
        EndPainter();
        return true;
    }
    void Abort() override
    {
        ++AbortCount;
        EndPainter();
    }
    bool Printing() const override { return FPainter.isActive(); }
    QString ErrorText() const override { return {}; }

    int BeginCount = 0;
    int AbortCount = 0;
    QString Title;
    std::deque<QImage> Pages;

private:
    void EndPainter()
    {
        if (FPainter.isActive())
            FPainter.end();
    }
    void AddPage()
    {
        EndPainter();
        Pages.emplace_back(FCaps.HorzRes, FCaps.VertRes, QImage::Format_ARGB32);
        QImage &page = Pages.back();
        page.setDotsPerMeterX(int(FCaps.LogPixelsX / 0.0254 + 0.5));
        page.setDotsPerMeterY(int(FCaps.LogPixelsY / 0.0254 + 0.5));
        page.fill(Qt::white);
        FPainter.begin(&page);
    }

    TDeviceCaps FCaps;
    QPainter FPainter;
};

// PDF output at 600 dpi on A4 with half-inch margins all round: the printable area
// starts 300 pixels (36 pt) in from the sheet's left and top edges.
inline void SetUpPdfPrinter(QPrinter &printer, const QString &path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(600);
    printer.setPageLayout(QPageLayout(
        QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(36, 36, 36, 36), QPageLayout::Point));
    printer.setOutputFileName(path);
}

// Printer pixels at 600 dpi to PDF points.
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

inline QString RunTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

struct TWordBox {
    QString Text;
    int Page = 0; // from 1
    double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
    double Height() const { return YMax - YMin; }
};

// Every word of the PDF with its box in points from the page's top left.
inline std::vector<TWordBox> PdfWords(const QString &path)
{
    const QString html
        = RunTool(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), path, QStringLiteral("-") });
    static const QRegularExpression word(QStringLiteral(
        R"re(<page |<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re"));
    std::vector<TWordBox> words;
    int page = 0;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            ++page;
            continue;
        }
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

// A field of `pdfinfo`'s report ("Pages", "Page size", "Title").
inline QString PdfInfo(const QString &path, const QString &field)
{
    const QString report = RunTool(QStringLiteral("pdfinfo"), { path });
    for (const QString &line : report.split(QLatin1Char('\n')))
        if (line.startsWith(field + QLatin1Char(':')))
            return line.mid(field.size() + 1).trimmed();
    return {};
}

// Page `page` of the PDF rendered at `dpi`.
inline QImage PdfPageImage(const QString &path, int page, int dpi, const QString &folder)
{
    const QString prefix = folder + QStringLiteral("/render");
    RunTool(QStringLiteral("pdftoppm"),
        { QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
            QString::number(page), QStringLiteral("-l"), QString::number(page), QStringLiteral("-singlefile"),
            path, prefix });
    return QImage(prefix + QStringLiteral(".png"));
}

// The smallest rectangle holding every pixel darker than mid grey; null when none.
inline QRect DarkBounds(const QImage &image, const QRect &within = QRect())
{
    const QRect area = within.isNull() ? image.rect() : within;
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// Pins the page font to the test family, whatever the machine maps Arial to.
inline void PinPageFont()
{
    QFont::insertSubstitution(QStringLiteral("Arial"), QString::fromLatin1(testsupport::TestFontFamily));
}

} // namespace printtest
