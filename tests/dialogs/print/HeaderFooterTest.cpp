#include "dialogs/print/DefaultHeaderAndFooter.h"
#include "dialogs/print/PrintJob.h"
#include "dialogs/print/PrintTestSupport.h"
#include "support/QtPrinters.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <random>

using namespace printtest;

namespace {

// Ten pixels per character: widths can be worked out by counting.
int TenPerChar(const QString &text)
{
    return int(text.size()) * 10;
}

} // namespace

TEST(MinimizeName, LeadingFoldersGiveWayOneAtATime)
{
    const QString path = QStringLiteral("/home/anna/plans/2024/Plan.kez"); // 30 characters
    EXPECT_EQ(MinimizeName(path, TenPerChar, 300), path);
    EXPECT_EQ(MinimizeName(path, TenPerChar, 299), QStringLiteral(".../anna/plans/2024/Plan.kez"));
    EXPECT_EQ(MinimizeName(path, TenPerChar, 250), QStringLiteral(".../plans/2024/Plan.kez"));
    EXPECT_EQ(MinimizeName(path, TenPerChar, 120), QStringLiteral(".../Plan.kez"));
    // Not even ".../Plan.kez" fits: the name is cut at its end.
    EXPECT_EQ(MinimizeName(path, TenPerChar, 70), QStringLiteral("Plan..."));
    EXPECT_EQ(MinimizeName(path, TenPerChar, 20), QStringLiteral("..."));
    EXPECT_EQ(MinimizeName(QStringLiteral("Plan.kez"), TenPerChar, 50), QStringLiteral("Pl..."));
}

TEST(MinimizeName, KeepsTheMostTrailingFoldersThatFit)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        QStringList parts;
        const int depth = int(rng() % 6) + 1;
        for (int i = 0; i < depth; ++i)
            parts << QString(int(rng() % 8) + 1, QChar(u'a' + int(rng() % 26)));
        const QString path = QLatin1Char('/') + parts.join(QLatin1Char('/'));
        const int width = int(rng() % 400);
        const QString got = MinimizeName(path, TenPerChar, width);
        // Reference: the candidates from the longest down, the first that fits.
        QString want;
        if (TenPerChar(path) <= width)
            want = path;
        for (int keep = depth - 1; want.isEmpty() && keep >= 1; --keep) {
            const QString candidate = QStringLiteral(".../") + parts.mid(depth - keep).join(QLatin1Char('/'));
            if (TenPerChar(candidate) <= width)
                want = candidate;
        }
        if (want.isEmpty()) {
            const QString name = parts.last();
            const int chars = std::max(0, width / 10 - 3);
            want = name.left(chars) + QStringLiteral("...");
        }
        ASSERT_EQ(got, want) << path.toStdString() << " in " << width;
    }
}

class DefaultHeaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinPageFont();
        job.NewJob();
        job.NewPage();
    }
    // Line number of every registered text.
    std::map<QString, int> Lines() const
    {
        std::map<QString, int> lines;
        for (const TPrintJob::THeader &h : job.Headers())
            lines[h.Str.startsWith(QStringLiteral("Stand: ")) ? QStringLiteral("Stand") : h.Str] = h.Line;
        return lines;
    }
    TFakePrinter printer;
    TPrintJob job { printer };
    const QString page = QStringLiteral("Page $PAGE_NO$/$PAGE_COUNT$");
};

TEST_F(DefaultHeaderTest, PlainJobHasOneHeaderAndOneFooterLine)
{
    AddDefaultHeaderAndFooter(job, {}, {}, {});
    EXPECT_EQ(Lines(), (std::map<QString, int> { { QStringLiteral("Stand"), 1 }, { page, -1 } }));
    // Fonts at 100 pixels per inch: 10 pt is 14 pixels, 11 pt 15.
    EXPECT_EQ(job.HeaderSize(), LineHeight(14));
    EXPECT_EQ(job.FooterSize(), LineHeight(15));
    const TPrintJob::THeader &stand = job.Headers().back();
    EXPECT_EQ(stand.Align, TPrintJob::AlignRight);
    EXPECT_EQ(stand.Font.Color(), 0x808080u);
    // The page's font is the page default again for what the caller draws next.
    EXPECT_EQ(*job.GetFont(), TPageFont(100));
}

TEST_F(DefaultHeaderTest, TitleFooterAndShortFileName)
{
    const QString file = QStringLiteral("/p/Plan.kez");
    AddDefaultHeaderAndFooter(job, QStringLiteral("Wochenplan"), QStringLiteral("Entwurf"), file);
    EXPECT_EQ(Lines(),
        (std::map<QString, int> { { QStringLiteral("Wochenplan"), 2 }, { QString(), 1 },
            { QStringLiteral("Stand"), 2 }, { QStringLiteral("Entwurf"), -1 }, { file, -2 }, { page, -2 } }));
    // The title (20 pt, 28 pixels) on line 2 above an empty 10 pt line.
    EXPECT_EQ(job.HeaderSize(), LineHeight(28) + LineHeight(14));
    EXPECT_EQ(job.FooterSize(), 2 * LineHeight(15));
    EXPECT_EQ(*job.GetFont(), TPageFont(100));
    // Sorted by line, footers first.
    EXPECT_EQ(job.Headers().front().Line, -2);
}

TEST_F(DefaultHeaderTest, LongFileNameTakesALineOfItsOwnAbovePageNumber)
{
    const QString file
        = QStringLiteral("/srv/plans/") + QString(120, QLatin1Char('x')) + QStringLiteral("/Plan.kez");
    AddDefaultHeaderAndFooter(job, {}, QStringLiteral("Entwurf"), file);
    std::map<QString, int> lines = Lines();
    EXPECT_EQ(lines[QStringLiteral("Entwurf")], -1);
    EXPECT_EQ(lines[page], -3);
    const TPrintJob::THeader &name = job.Headers()[1];
    EXPECT_EQ(name.Line, -2);
    EXPECT_EQ(name.Str, QStringLiteral(".../Plan.kez"));
    EXPECT_EQ(job.FooterSize(), 3 * LineHeight(15));
}
