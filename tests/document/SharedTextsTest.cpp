#include "document/SharedTexts.h"

#include "tests/document/DocumentTestSupport.h"

#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace {

// Holds no more room than its characters (a static literal holds none at all).
bool exact(const QString &text)
{
    return text.capacity() <= text.size();
}

} // namespace

// Against a plain reference: every shared text equals its input and holds no spare
// room; equal short texts share one storage while the pool has room, whatever else
// (long, empty, non-Latin-1) comes between them.
TEST(SharedTexts, EqualShortTextsShareOneExactStorage)
{
    TSharedTexts pool;
    std::mt19937 random(7);
    const QStringList pieces { "Position 1", "04.03.2024", "2", QString::fromUtf8("Ärzte 🩺"), QString(),
        "Ja", QString(TSharedTexts::kLongest + 1, QLatin1Char('x')) };
    QMap<QString, const QChar *> firstStorage;
    std::vector<QString> held;
    for (int i = 0; i < 2000; ++i) {
        QString text = pieces[int(random() % pieces.size())];
        if (random() % 3 == 0) {
            // Built up piece by piece: spare room, a storage of its own.
            text.reserve(200);
            text.append(QString::number(random() % 50));
        }
        const QString shared = pool.Share(text);
        ASSERT_EQ(shared, text);
        EXPECT_TRUE(exact(shared)) << shared.toStdString();
        held.push_back(shared);
        if (text.isEmpty() || text.size() > TSharedTexts::kLongest)
            continue;
        if (!firstStorage.contains(text))
            firstStorage.insert(text, shared.constData());
        EXPECT_EQ(shared.constData(), firstStorage.value(text)) << text.toStdString();
    }
    EXPECT_EQ(pool.Count(), firstStorage.size());
}

TEST(SharedTexts, AFullPoolStillSharesWhatItHoldsAndForgetsTextsNoCellHolds)
{
    TSharedTexts pool;
    const QString early = pool.Share(QString::fromLatin1("early"));
    std::vector<QString> held;
    for (qsizetype i = 0; i < TSharedTexts::kMostTexts; ++i)
        held.push_back(pool.Share(QStringLiteral("unique %1").arg(i)));
    EXPECT_EQ(pool.Count(), TSharedTexts::kMostTexts);
    EXPECT_EQ(pool.Share(QString::fromLatin1("early")).constData(), early.constData());
    const QString late = pool.Share(QString::fromLatin1("late"));
    EXPECT_TRUE(exact(late));
    EXPECT_NE(pool.Share(QString::fromLatin1("late")).constData(), late.constData());

    // The cells let go of the unique texts: a later sweep makes room again, and
    // what a cell still holds stays.
    held.clear();
    for (qsizetype i = 0; i < TSharedTexts::kMostTexts; ++i)
        pool.Share(QStringLiteral("turned away %1").arg(i));
    EXPECT_LT(pool.Count(), TSharedTexts::kMostTexts);
    EXPECT_EQ(pool.Share(QString::fromLatin1("early")).constData(), early.constData());
    const QString again = pool.Share(QString::fromLatin1("late"));
    EXPECT_EQ(pool.Share(QString::fromLatin1("late")).constData(), again.constData());
}

// A loaded document: equal cells of different rows share their storage, and no
// cell or ID keeps a piece of the parser's text blocks (which would hold the whole
// parsed file's text).
TEST(SharedTexts, LoadedCellsAndIDsAreExactAndEqualCellsShared)
{
    DocumentFixture source;
    for (int i = 0; i < 50; ++i)
        source.addTask(
            QStringLiteral("pc.tester.%1").arg(i), "Position 2", "04.03.2024", QString::number(1 + i % 3));
    source.doc->SetData(source.doc->FindNode("pc.tester.3"), 5, QString(300, QLatin1Char('y')));
    QTemporaryDir dir;
    const QString file = dir.filePath("shared.kez");
    ASSERT_TRUE(source.doc->SaveTo(file));

    DocumentFixture loaded;
    ASSERT_TRUE(loaded.doc->LoadFrom(file));
    EXPECT_EQ(rowTexts(*loaded.doc, tbTable), rowTexts(*source.doc, tbTable));
    const DocumentTable &rows = loaded.doc->GetTable(tbTable);
    const TNodeData *first = rows.First();
    ASSERT_NE(first, nullptr);
    for (const TNodeData *row = first; row; row = rows.Next(row)) {
        EXPECT_TRUE(exact(row->ID)) << row->ID.toStdString();
        for (const QString &cell : row->StringList)
            EXPECT_TRUE(exact(cell)) << row->ID.toStdString() << " " << cell.toStdString();
        EXPECT_EQ(row->StringList[0].constData(), first->StringList[0].constData());
        EXPECT_EQ(row->StringList[1].constData(), first->StringList[1].constData());
    }
}
