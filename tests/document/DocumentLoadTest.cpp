// A large plan read in bulk must end as reading it row by row and cell by cell
// would, and a plan saved again after loading must give the bytes it came from.
#include "bench/generator/DocumentGenerator.h"
#include "document/StoredDateCells.h"
#include "document/xml/XMLFile.h"
#include "tests/document/DocumentTestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const THashedString kNewRow(QStringLiteral("new"));
const THashedString kEnd(QStringLiteral("End"));
const THashedString kColor(QStringLiteral("Color"));
const THashedString kIdName(QStringLiteral("id"));
const THashedString kMarker(QStringLiteral("__table__"));

// The reading of rows as it was before the bulk path, kept as the reference:
// each row added with AddNode and each cell stored with DoSetData.
void ReadRowsOneByOne(Document &doc, const TXMLNode &data)
{
    UndoRecordingPause noUndo(doc.UndoRedo());
    UpdateBracket bracket(doc, QString());
    TStoredDateCells dates(doc, TStoredDateCells::TBadDate::LeaveEmpty, QStringLiteral("reference"));
    for (const auto &element : data.Nodes()) {
        const TXMLNode *marker = element->namedNode(kMarker);
        const TWhichTable table = marker && marker->Value() == "tbTable" ? tbTable : tbExclude;
        const TXMLAttribute *id = element->namedAttribute(kIdName);
        TNodeData *row = doc.AddNode(id ? id->Value() : QString(), table, false);
        for (const auto &cell : element->Nodes()) {
            if (cell.get() == marker)
                continue;
            const int column = doc.IndexOfColumnHack(table, cell->Name().Value());
            if (column < 0)
                continue;
            const bool isDate = doc.GetColumnType(table, column) == ctDate;
            doc.DoSetData(row, column,
                isDate ? dates.CellText(cell->Value(), row->ID, cell->Name().Value()) : cell->Value(), false);
        }
    }
}

QStringList ParsedRows(const Document &doc, TWhichTable table)
{
    QStringList out;
    const DocumentTable &rows = doc.GetTable(table);
    for (const TNodeData *row = rows.First(); row; row = rows.Next(row))
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
                   .arg(row->ID)
                   .arg(row->nodeStart)
                   .arg(row->nodeEnd)
                   .arg(row->nodeTermin)
                   .arg(row->nodePosition)
                   .arg(row->nodeColor)
                   .arg(row->nodeValid)
                   .arg(row->nodeEndUnreachable);
    return out;
}

class DocumentLoad : public ::testing::Test, public DocumentFixture {
protected:
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }

    static QByteArray read(const QString &name)
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static void write(const QString &name, const QByteArray &bytes)
    {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

} // namespace

TEST_F(DocumentLoad, ALoadedPlanSavesToTheSameBytes)
{
    GeneratorOptions realistic = GeneratorOptions::Plan(600, 60, 15);
    GeneratorOptions plain;
    plain.tasks = 800;
    plain.absentRows = 80;
    plain.positions = 30;
    plain.columns = 8;
    plain.deadlines = true;
    plain.barTexts = true;
    for (const GeneratorOptions &options : { realistic, plain }) {
        for (const bool compressed : { false, true }) {
            ASSERT_TRUE(WriteGeneratedDocument(path("plan.kez"), options, compressed));
            const QByteArray written = read(path("plan.kez"));
            Document loaded;
            ASSERT_TRUE(loaded.LoadFrom(path("plan.kez")));
            EXPECT_EQ(loaded.TotalCount(tbTable), options.tasks);
            ASSERT_TRUE(loaded.SaveTo(path("again.kez")));
            EXPECT_TRUE(read(path("again.kez")) == written) << options.realistic << compressed;
        }
    }
}

// Ends left empty, stale or unreachable, rows without a colour, an ID given twice
// and a row without one: the bulk path derives and stores what the row by row
// reading does, cell for cell.
TEST_F(DocumentLoad, BulkReadingEndsAsReadingRowByRow)
{
    GeneratorOptions options = GeneratorOptions::Plan(500, 50, 12);
    ASSERT_TRUE(WriteGeneratedDocument(path("plan.kez"), options, false));
    TXMLFile file(path("plan.kez"), false);
    ASSERT_TRUE(file.Load());
    TXMLNode *data = file.xml().namedNode({ "document", "data" });
    ASSERT_NE(data, nullptr);
    int n = 0;
    for (const auto &element : data->Nodes()) {
        TXMLNode *end = element->namedNode(kEnd);
        if (end && n % 5 == 0)
            end->SetValue(QString());
        else if (end && n % 7 == 0)
            end->SetValue(QStringLiteral("2001-01-01 00:00:00"));
        else if (end && n % 11 == 0)
            end->SetValue(QStringLiteral("no date"));
        if (TXMLNode *color = element->namedNode(kColor); color && n % 3 == 0)
            color->SetValue(QString());
        ++n;
    }
    data->Node(9)->namedAttribute(kIdName)->SetValue(data->Node(4)->namedAttribute(kIdName)->Value());
    data->Node(12)->namedAttribute(kIdName)->SetValue(QString());
    write(path("changed.kez"), file.xml().SaveToBytes(false));

    Document bulk;
    bulk.SetIdentity(QStringLiteral("gen.task"));
    ASSERT_TRUE(bulk.LoadFrom(path("changed.kez")));

    // The reference starts from the same setup and reads the same rows its own way.
    Document reference;
    reference.SetIdentity(QStringLiteral("gen.task"));
    TXMLFile setupOnly(path("changed.kez"), false);
    ASSERT_TRUE(setupOnly.Load());
    setupOnly.xml().namedNode({ "document", "data" })->TruncateNodes(0);
    ASSERT_TRUE(reference.LoadFromTree(setupOnly.xml(), false));
    ReadRowsOneByOne(reference, *data);

    for (TWhichTable table : { tbTable, tbExclude }) {
        EXPECT_EQ(rowTexts(bulk, table), rowTexts(reference, table)) << table;
        EXPECT_EQ(ParsedRows(bulk, table), ParsedRows(reference, table)) << table;
    }
    EXPECT_EQ(bulk.LastFreeID(), reference.LastFreeID());
    EXPECT_GT(bulk.LastFreeID(), 0);
    EXPECT_TRUE(bulk.UndoRedo().undoList().empty());

    // Every End cell is the end each row's own derivation gives.
    const int endColumn = bulk.GetConnection(tbTable, cnEnd);
    const DocumentTable &tasks = bulk.GetTable(tbTable);
    for (TNodeData *row = tasks.First(); row; row = tasks.Next(row)) {
        if (!row->nodeValid)
            continue;
        const QString stored = bulk.GetData(row, endColumn);
        bulk.SetRecalcEndOf(row, true);
        EXPECT_EQ(bulk.FormatDateTime(bulk.GetEndOf(row)), stored) << row->ID.toStdString();
    }
}

// The views hear of a loaded row once, whatever number of its cells changed.
TEST_F(DocumentLoad, ViewsHearOfEachLoadedRowOnce)
{
    struct Counter : IDocumentObserver {
        QStringList rows;
        int flashes = 0;
        void RowChanged(const TNodeData &node) override { rows << node.ID; }
        void StartFlashSelected() override { ++flashes; }
    } counter;
    GeneratorOptions options = GeneratorOptions::Plan(40, 4, 5);
    ASSERT_TRUE(WriteGeneratedDocument(path("plan.kez"), options, false));
    Document loaded;
    ScopedDocumentObserver observing(loaded, counter);
    ASSERT_TRUE(loaded.LoadFrom(path("plan.kez")));
    EXPECT_EQ(counter.rows.size(), 44);
    EXPECT_EQ(counter.rows.removeDuplicates(), 0);
    EXPECT_EQ(counter.flashes, 40); // every task's colour
}
