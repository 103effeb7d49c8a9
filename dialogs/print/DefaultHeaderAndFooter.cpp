#include "dialogs/print/DefaultHeaderAndFooter.h"

#include "dialogs/print/PrintJob.h"
#include "document/calendar/DateTime.h"
#include "document/program/Translation.h"

#include <QStringList>

namespace {

const QString Dots = QStringLiteral("...");

QString CutToFit(QString text, const std::function<int(const QString &)> &textWidth, int maxWidth)
{
    while (!text.isEmpty() && textWidth(text + Dots) > maxWidth)
        text.chop(text.size() >= 2 && text.back().isLowSurrogate() ? 2 : 1);
    return text + Dots;
}

// Puts the page's current font back when it goes out of scope.
class TFontKeeper {
public:
    explicit TFontKeeper(TPrintJob &job)
        : FFont(job.GetFont())
        , FSaved(FFont ? *FFont : TPageFont(96))
    { }
    ~TFontKeeper()
    {
        if (FFont)
            *FFont = FSaved;
    }
    TFontKeeper(const TFontKeeper &) = delete;
    TFontKeeper &operator=(const TFontKeeper &) = delete;

private:
    TPageFont *FFont;
    TPageFont FSaved;
};

} // namespace

QString MinimizeName(
    const QString &fileName, const std::function<int(const QString &)> &textWidth, int maxWidth)
{
    if (textWidth(fileName) <= maxWidth)
        return fileName;
    QStringList folders = fileName.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QString name = folders.isEmpty() ? fileName : folders.takeLast();
    while (!folders.isEmpty()) {
        folders.removeFirst();
        folders.append(name);
        const QString shorter = Dots + QLatin1Char('/') + folders.join(QLatin1Char('/'));
        folders.removeLast();
        if (textWidth(shorter) <= maxWidth)
            return shorter;
    }
    return CutToFit(name, textWidth, maxWidth);
}

void AddDefaultHeaderAndFooter(
    TPrintJob &job, const QString &title, const QString &footer, const QString &fileName)
{
    TPageFont *font = job.GetFont();
    if (!font)
        throw EPrintHeaderError("AddDefaultHeaderAndFooter needs a page: call NewPage first");
    const TFontKeeper keeper(job);

    int line = 1;
    if (!title.isEmpty()) {
        font->SetSize(20);
        job.AddHeader(title, 2, TPrintJob::AlignCenter);
        font->SetSize(10);
        job.AddHeader(QString(), 1, TPrintJob::AlignLeft);
        line = 2;
    }
    font->SetColor(0x808080);
    job.AddHeader(
        Translate(QStringLiteral("Stand: %s"), { DateTimeToStr(Now()) }), line, TPrintJob::AlignRight);
    font->SetColor(clBlack);

    line = -1;
    font->SetSize(11);
    if (!footer.isEmpty()) {
        job.AddHeader(footer, -1, TPrintJob::AlignLeft);
        line = -2;
    }
    if (!fileName.isEmpty()) {
        const int bodyWidth = job.PrintableSize(true, true).width();
        if (job.TextWidth(fileName) > 0.45 * bodyWidth) {
            const auto measure = [&job](const QString &text) { return job.TextWidth(text); };
            job.AddHeader(MinimizeName(fileName, measure, bodyWidth), line, TPrintJob::AlignLeft);
            --line;
        } else {
            job.AddHeader(fileName, line, TPrintJob::AlignLeft);
        }
    }
    job.AddHeader(Translate(QStringLiteral("Page %s/%s"),
                      { QStringLiteral("$PAGE_NO$"), QStringLiteral("$PAGE_COUNT$") }),
        line, TPrintJob::AlignCenter);
}
