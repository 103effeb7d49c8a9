#include "dialogs/print/DefaultHeaderAndFooter.h"
#include "dialogs/print/PrintJob.h"
#include "tests/dialogs/print/PrintTestSupport.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>
#include <map>
#include <random>

using namespace printtest;

namespace {

// Ten pixels a character: widths can be counted.
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
    EXPECT_EQ(MinimizeName(path, TenPerChar, 70), QStringLiteral("Plan...")); // the name itself is cut
    EXPECT_EQ(MinimizeName(path, TenPerChar, 20), QStringLiteral("..."));
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
        // Reference: the whole path, then fewer and fewer trailing parts after "...",
        // then the name cut to fit with "..." after it.
        QString want = TenPerChar(path) <= width ? path : QString();
        for (int keep = depth - 1; want.isEmpty() && keep >= 1; --keep) {
            const QString candidate = QStringLiteral(".../") + parts.mid(depth - keep).join(QLatin1Char('/'));
            if (TenPerChar(candidate) <= width)
                want = candidate;
        }
        if (want.isEmpty())
            want = parts.last().left(std::max(0, width / 10 - 3)) + QStringLiteral("...");
        ASSERT_EQ(MinimizeName(path, TenPerChar, width), want) << path.toStdString() << " in " << width;
    }
}

// On the made-up printer at 100 pixels per inch: 10 pt is 14 pixels, 11 pt 15, 20 pt 28.
class DefaultHeaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinPageFont();
        job.NewJob();
        job.NewPage();
    }
    // The line of every registered text ("Stand" for the time stamp).
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
    const QString stand = QStringLiteral("Stand");
};

TEST_F(DefaultHeaderTest, PlainPrintoutHasOneHeaderAndOneFooterLine)
{
    AddDefaultHeaderAndFooter(job, {}, {}, {});
    EXPECT_EQ(Lines(), (std::map<QString, int> { { stand, 1 }, { page, -1 } }));
    EXPECT_EQ(job.HeaderSize(), LineHeight(14));
    EXPECT_EQ(job.FooterSize(), LineHeight(15));
    EXPECT_EQ(job.Headers().back().Align, TPrintJob::AlignRight);
    EXPECT_EQ(job.Headers().back().Font.Color(), 0x808080u);
    // What the caller draws next is in the page's default font again.
    EXPECT_EQ(*job.GetFont(), TPageFont(100));
}

TEST_F(DefaultHeaderTest, TitleFooterAndFileNames)
{
    const QString file = QStringLiteral("/p/Plan.kez");
    AddDefaultHeaderAndFooter(job, QStringLiteral("Wochenplan"), QStringLiteral("Entwurf"), file);
    EXPECT_EQ(Lines(),
        (std::map<QString, int> { { QStringLiteral("Wochenplan"), 2 }, { QString(), 1 }, { stand, 2 },
            { QStringLiteral("Entwurf"), -1 }, { file, -2 }, { page, -2 } }));
    EXPECT_EQ(job.HeaderSize(), LineHeight(28) + LineHeight(14));
    EXPECT_EQ(job.FooterSize(), 2 * LineHeight(15));
    EXPECT_EQ(*job.GetFont(), TPageFont(100));

    // A name wider than 0.45 of the body is shortened onto a line of its own.
    job.NewJob();
    job.NewPage();
    const QString longName
        = QStringLiteral("/srv/") + QString(120, QLatin1Char('x')) + QStringLiteral("/Plan.kez");
    AddDefaultHeaderAndFooter(job, {}, QStringLiteral("Entwurf"), longName);
    EXPECT_EQ(Lines(),
        (std::map<QString, int> { { stand, 1 }, { QStringLiteral("Entwurf"), -1 },
            { QStringLiteral(".../Plan.kez"), -2 }, { page, -3 } }));
    EXPECT_EQ(job.FooterSize(), 3 * LineHeight(15));
}
