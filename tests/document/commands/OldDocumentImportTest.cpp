#include "document/commands/OldDocumentImport.h"

#include "document/DocumentTable.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/IniCompression.h"
#include "document/program/IniFile.h"
#include "document/program/Log.h"
#include "document/sharing/DirWatch.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/document/commands/CommandsTestSupport.h"

#include <QRegularExpression>

namespace {

// Old documents are written here by hand as the old writer laid them out. This one
// holds both tables, holidays, groups and colours; $D(y,m,d) is a date cell.
const char *const kOldDocument = R"([KEZ]
Version=$V
SubVersion=$S
$OFFSET
[Setup]
MinUnit=0
Footer=Fuss
PrintToday=1
DefaultHolidayReason=Krank
DefaultCalcWorkdays=0
Komprimiert=0
RowSetCount=2
RowSet0=1
RowSet1=7
ColWidth=12
Zoom=150
[tbTable]
$COLCOUNT
RowCount=3
[tbTableConnections]
None=-1
Position=0
Start=1
End=2
Length=3
Termin=4
Color=-1
TextCenterMiddle=5
[tbTableHeader]
Caption0=Platz
Type0=2
Strings0=Presse,Säge
Caption1=Beginn
Type1=1
Caption2=Ende
Type2=1
Caption3=Dauer
Type3=3
Caption4=Termin
Type4=1
Caption5=Notiz
Type5=0
[Color]
Count=2
Color0=255
Color1=0x00FF00
[HolidayColor]
Count=1
Color0=16711680
[Header]
HolidayReason=Urlaub,Krank
[PositionGroup]
Count=2
name1=Metall
filter1=Presse
[Public Holiday]
Count=2
Item0name=Neujahr
Item0day=1
Item0month=1
Item0enabled=1
Item0easter=0
Item1name=Ostermontag
Item1day=1
Item1month=0
Item1enabled=0
Item1easter=1
[tbExclude]
RowCount=1
[tbTableItem0]
0=Presse
1=$D(2024,3,4)
2=$D(2024,3,5)
3=2
4=$D(2024,3,10)
5=erste
__lastchanged__=12
[tbTableItem1]
0=Säge
1=
2=
3=
4=
5=ohne Daten
[tbTableItem2]
5=ohne Termin
1=$D(2024,3,6)
0=Säge
3=1
5=second line of a key
[tbExcludeItem0]
0=Presse
1=$D(2024,3,7)
2=$D(2024,3,7)
3=1
4=Ja
5=Urlaub
6=Betriebsurlaub
)";

// The document above as the given version wrote it; the Offset line only when one
// is given, the column count left out when null.
QString oldDocument(
    int version = 2, int subVersion = 5, const QString &offset = QString(), const QString &columnCount = "6")
{
    const bool stored = version > 2 || (version == 2 && subVersion >= 5);
    QString t = QString::fromUtf8(kOldDocument);
    t.replace("$V", QString::number(version)).replace("$S", QString::number(subVersion));
    t.replace("$OFFSET", offset.isEmpty() ? QString() : "Offset=" + offset);
    t.replace("$COLCOUNT", columnCount.isNull() ? QString() : "ColCount=" + columnCount);
    static const QRegularExpression dateCell(R"(\$D\((\d+),(\d+),(\d+)\))");
    for (auto m = dateCell.match(t); m.hasMatch(); m = dateCell.match(t)) {
        const int y = m.captured(1).toInt(), mo = m.captured(2).toInt(), d = m.captured(3).toInt();
        t.replace(m.capturedStart(), m.capturedLength(),
            stored ? QString::asprintf("%04d-%02d-%02d 00:00:00", y, mo, d)
                   : QString::asprintf("%02d.%02d.%04d", d, mo, y));
    }
    return t.replace("\n", "\r\n");
}

QByteArray encode(const QString &text, bool compressed)
{
    const QByteArray plain = text.toLatin1();
    QByteArray packed;
    if (compressed && ini_compression::tryCompress(plain, packed))
        return packed;
    EXPECT_FALSE(compressed) << "could not compress";
    return plain;
}

// Cells without the derived End column (column 2 in both tables).
QStringList inputs(const Document &doc, TWhichTable table)
{
    QStringList out;
    const DocumentTable &t = doc.GetTable(table);
    for (const TNodeData *row = t.First(); row; row = t.Next(row)) {
        QStringList cells = row->StringList;
        cells.removeAt(2);
        out << cells.join('|');
    }
    return out;
}

// Records what the import asks of the commands; saves straight to the file.
class RecordingImportHost : public IOldDocumentImportHost {
public:
    explicit RecordingImportHost(Document &doc)
        : FDoc(doc)
    { }
    QStringList calls;
    QString footer;
    bool saveFails = false;

    void ApplyViewSettings(const TCustomIniFile &ini) override
    {
        calls << "view";
        footer = ini.ReadString("Setup", "Footer", QString());
    }
    void SetInitialDeOverlap() override { calls << "deoverlap"; }
    TDirWatchThread *ReplaceWatcher(const QString &) override
    {
        calls << "watcher";
        return nullptr;
    }
    bool Save(const QString &fileName) override
    {
        calls << "save";
        return !saveFails && FDoc.SaveTo(fileName);
    }
    void Reset(Document &doc) override
    {
        calls << "reset";
        IOldDocumentImportHost::Reset(doc);
    }

private:
    Document &FDoc;
};

class OldDocumentImport : public CommandsTest, public DocumentFixture {
protected:
    const QString file = path("Plan.kez");

    static QString log() { return QString::fromUtf8(read(LogFilePath())); }
    // The basic layout of a new document, and nothing else.
    static void expectNewDocument(const Document &doc)
    {
        EXPECT_EQ(doc.GetTableColCount(tbTable), 6);
        EXPECT_EQ(doc.GetColumnCaption(tbTable, 5), "Comment");
        EXPECT_EQ(doc.GetTableRowCount(tbTable), 0);
        EXPECT_EQ(doc.GetTableRowCount(tbExclude), 0);
    }
    // Reads an old document's text straight into `doc`.
    ::testing::AssertionResult readOld(const QString &text)
    {
        TMemIniFile ini;
        ini.LoadBytes(text.toLatin1());
        const platform::Status read = ReadOldDocument(*doc, ini);
        if (read)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << read.reason().toStdString();
    }
    // Imports `bytes` through a recording host and returns what it was asked; the
    // import must end in `expected` and leave the file as it was.
    QStringList importKeepingTheFile(const QByteArray &bytes, TImportResult expected, bool saveFails = false)
    {
        write(file, bytes);
        RecordingImportHost recording(*doc);
        recording.saveFails = saveFails;
        EXPECT_EQ(ImportFrom(*doc, file, &recording), expected);
        EXPECT_EQ(read(file), bytes);
        return recording.calls;
    }
};

const QStringList kTasks { "Presse|04.03.2024|2|10.03.2024|erste", "Säge||||ohne Daten",
    "Säge|06.03.2024|1||ohne Termin" };
const QStringList kAbsences { "Presse|07.03.2024|1|Ja|Urlaub|Betriebsurlaub" };

TEST_F(OldDocumentImport, ReadsSetupHolidaysAndBothTablesAndSavesTheNewFormat)
{
    write(file, encode(oldDocument(), false));
    dialogs.QueueAnswer(mrOk);
    RecordingImportHost recording(*doc);
    ASSERT_EQ(ImportFrom(*doc, file, &recording), TImportResult::Imported) << log().toStdString();

    EXPECT_EQ(messages(), QStringList { "Import will convert the file to new fileformat!" });
    EXPECT_EQ(dialogs.Questions()[0].DlgType, mtInformation);
    EXPECT_EQ(dialogs.Questions()[0].Buttons, (TMsgDlgButtons { mbOK, mbCancel }));
    EXPECT_EQ(recording.calls, (QStringList { "view", "deoverlap", "watcher", "save" }));
    EXPECT_EQ(recording.footer, "Fuss");

    // Setup.
    ASSERT_EQ(doc->GetTableColCount(tbTable), 6);
    EXPECT_EQ(doc->GetColumnCaption(tbTable, 0), "Platz");
    EXPECT_EQ(doc->GetColumnCaption(tbTable, 5), "Notiz");
    EXPECT_EQ(doc->GetColumnType(tbTable, 0), ctPulldown);
    EXPECT_EQ(doc->GetColumnType(tbTable, 4), ctDate);
    EXPECT_EQ(doc->GetColumnType(tbTable, 3), ctNumber);
    EXPECT_EQ(doc->GetColumnStrings(tbTable, 0), (QStringList { "Presse", "Säge" }));
    EXPECT_EQ(doc->GetConnection(tbTable, cnTermin), 4);
    EXPECT_EQ(doc->GetConnection(tbTable, cnTextCenterMiddle), 5);
    EXPECT_EQ(doc->GetConnection(tbTable, cnColor), -1);
    EXPECT_EQ(doc->Setup().FColors, (std::vector<std::uint32_t> { 0x0000FF, 0x00FF00 }));
    // The second reason has no stored colour: the fill-up cycle gives one.
    ASSERT_EQ(doc->Setup().FHolidayColors.size(), 2u);
    EXPECT_EQ(doc->Setup().FHolidayColors[0], 0xFF0000u);
    EXPECT_EQ(doc->GetColumnStrings(tbExclude, doc->GetConnection(tbExclude, cnColor)),
        (QStringList { "Urlaub", "Krank" }));
    EXPECT_EQ(doc->Setup().FPositionGroupNames, (QStringList { "", "Metall" }));
    EXPECT_EQ(doc->Setup().FPositionGroup, (QStringList { "", "Presse" }));
    EXPECT_EQ(doc->Setup().FRowSets, (std::vector<int> { 1, 2 }));
    EXPECT_EQ(doc->Setup().FDefaultHolidayReason, "Krank");
    EXPECT_FALSE(doc->Setup().FDefaultCalcWorkdays);
    EXPECT_FALSE(doc->Setup().FCompressedSave);
    EXPECT_EQ(doc->Setup().FTimeChartColWidth, 12);
    EXPECT_EQ(doc->Setup().FZoom, 150);
    EXPECT_EQ(doc->Setup().FHolidayList,
        (std::vector<THolidayData> {
            { "Neujahr", 1, 1, true, false }, { "Ostermontag", 1, 0, false, true } }));

    // Rows: new IDs of the importing user; the derived ends computed.
    EXPECT_EQ(inputs(*doc, tbTable), kTasks);
    EXPECT_EQ(inputs(*doc, tbExclude), kAbsences);
    EXPECT_EQ(doc->GetTable(tbTable).First()->ID, "pc.tester.1");
    EXPECT_EQ(doc->GetData(doc->GetTable(tbTable).First(), 2), "05.03.2024");
    EXPECT_TRUE(doc->UndoRedo().GetAcceptUndo());
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo());
    EXPECT_TRUE(sink.records.empty());

    // The file is now a document of the present format: it opens without asking.
    auto reread = std::make_unique<Document>();
    ASSERT_TRUE(reread->LoadFrom(file));
    EXPECT_EQ(rowTexts(*reread, tbTable), rowTexts(*doc, tbTable));
    EXPECT_EQ(rowTexts(*reread, tbExclude), rowTexts(*doc, tbExclude));
    EXPECT_EQ(ImportFrom(*reread, file), TImportResult::NotOldDocument);
    EXPECT_EQ(dialogs.Questions().size(), 1);
}

TEST_F(OldDocumentImport, DateCellsByVersionPlainAndCompressed)
{
    // Before 2.5 dates stand in the user's form, from 2.5 on in the storage form;
    // 3.0 is newer than 2.5 although its subversion is lower.
    for (const auto &[version, subVersion, compressed] :
        { std::tuple { 2, 3, true }, std::tuple { 2, 4, false }, std::tuple { 2, 5, true },
            std::tuple { 3, 0, false }, std::tuple { 3, 1, true } }) {
        SCOPED_TRACE(QString("%1.%2").arg(version).arg(subVersion).toStdString());
        write(file, encode(oldDocument(version, subVersion), compressed));
        dialogs.QueueAnswer(mrOk);
        auto imported = std::make_unique<Document>();
        ASSERT_EQ(ImportFrom(*imported, file), TImportResult::Imported) << log().toStdString();
        EXPECT_EQ(inputs(*imported, tbTable), kTasks);
        EXPECT_EQ(inputs(*imported, tbExclude), kAbsences);
        EXPECT_EQ(imported->Setup().FHolidayList.size(), 2u);
        EXPECT_TRUE(imported->LoadFrom(file));
    }
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}

TEST_F(OldDocumentImport, OffsetMovesTheDatesOfTheCellsAndNothingElse)
{
    ASSERT_TRUE(readOld(oldDocument(2, 5, DateToStr(Today() - 10))));
    // Empty starts stay empty and rows without a deadline get none.
    EXPECT_EQ(inputs(*doc, tbTable),
        (QStringList { "Presse|14.03.2024|2|20.03.2024|erste", "Säge||||ohne Daten",
            "Säge|16.03.2024|1||ohne Termin" }));
    EXPECT_EQ(inputs(*doc, tbExclude), (QStringList { "Presse|17.03.2024|1|Ja|Urlaub|Betriebsurlaub" }));
    // The end follows the moved start.
    EXPECT_EQ(doc->GetData(doc->GetTable(tbTable).First(), 2), "15.03.2024");

    // An offset in the future moves them back; one that is no date moves nothing.
    ASSERT_TRUE(readOld(oldDocument(2, 5, DateToStr(Today() + 3))));
    EXPECT_EQ(inputs(*doc, tbTable)[0], "Presse|01.03.2024|2|07.03.2024|erste");
    ASSERT_TRUE(readOld(oldDocument(2, 5, "kein Datum")));
    EXPECT_EQ(inputs(*doc, tbTable), kTasks);
    EXPECT_TRUE(log().contains("\"kein Datum\" is no date"));
}

TEST_F(OldDocumentImport, TooOldVersionsAreRefusedAndTheFileStays)
{
    // Compared as pairs: 1.9 is older than 2.3 although 9 is not below 3.
    for (const auto &[version, subVersion] : { std::pair { 2, 2 }, std::pair { 1, 9 }, std::pair { 0, 0 } }) {
        doc->AddNode("kept", tbTable, false);
        const QByteArray bytes = encode(oldDocument(version, subVersion), false);
        EXPECT_TRUE(importKeepingTheFile(bytes, TImportResult::Failed).isEmpty());
        EXPECT_EQ(doc->GetTableRowCount(tbTable), 1);
        doc->ResetDocument();
    }
    const QString tooOld
        = "Version of file too old. Please contact morvane-software support for instructions.";
    EXPECT_EQ(messages(), (QStringList { tooOld, tooOld, tooOld }));
    EXPECT_EQ(dialogs.Questions()[0].DlgType, mtInformation);
    EXPECT_EQ(dialogs.Questions()[0].Buttons, (TMsgDlgButtons { mbOK }));
}

TEST_F(OldDocumentImport, OtherFilesAreNoOldDocumentsAndCancelChangesNothing)
{
    doc->AddNode("kept", tbTable, false);
    for (const QByteArray &bytes :
        { QByteArray(R"(<?xml version="1.0" encoding="ISO-8859-1" ?><document><setup/></document>)"),
            QByteArray("[Setup]\r\nMinUnit=0\r\n"), QByteArray("[KEZ]\r\nVersion=2\r\n"),
            QByteArray("[KEZ]\r\nVersion=x\r\nSubVersion=5\r\n"), QByteArray("\x01\x02\x03", 3) }) {
        write(file, bytes);
        EXPECT_EQ(ImportFrom(*doc, file), TImportResult::NotOldDocument);
    }
    EXPECT_EQ(ImportFrom(*doc, path("missing.kez")), TImportResult::NotOldDocument);
    EXPECT_TRUE(dialogs.Questions().isEmpty());

    dialogs.QueueAnswer(mrCancel);
    const QByteArray bytes = encode(oldDocument(), true);
    EXPECT_TRUE(importKeepingTheFile(bytes, TImportResult::Cancelled).isEmpty());
    EXPECT_TRUE(doc->FindNode("kept"));
}

TEST_F(OldDocumentImport, MalformedFilesFailBeforeTheQuestionAndLeaveANewDocument)
{
    const QString manyRows
        = oldDocument().replace("[tbExclude]\r\nRowCount=1", "[tbExclude]\r\nRowCount=2000000000");
    for (const QString &text : { oldDocument(2, 5, {}, QString()), oldDocument(2, 5, {}, "-1"),
             oldDocument(2, 5, {}, "100000"), manyRows }) {
        doc->AddNode("gone", tbTable, false);
        EXPECT_EQ(importKeepingTheFile(encode(text, false), TImportResult::Failed), QStringList { "reset" });
        expectNewDocument(*doc);
    }
    EXPECT_TRUE(dialogs.Questions().isEmpty());
    EXPECT_TRUE(log().contains("importFrom() error:the file names no column count"));
    EXPECT_TRUE(log().contains("importFrom() error:100000 columns"));
    EXPECT_TRUE(log().contains("importFrom() error:2000000000 rows"));
}

TEST_F(OldDocumentImport, FailedSaveLeavesTheOldFileAndANewDocument)
{
    dialogs.QueueAnswer(mrOk);
    EXPECT_EQ(importKeepingTheFile(encode(oldDocument(), false), TImportResult::Failed, true),
        (QStringList { "view", "deoverlap", "watcher", "save", "reset" }));
    EXPECT_TRUE(log().contains("importFrom() error:the converted document could not be saved"));
    expectNewDocument(*doc);
    EXPECT_TRUE(doc->UndoRedo().GetAcceptUndo());
}

TEST_F(OldDocumentImport, EndBoundToTheStartColumnIsNotWrittenOverTheStart)
{
    // Writing the derived end into the start column moved the start, whose end was
    // then written again, without end.
    ASSERT_TRUE(readOld(oldDocument().replace("End=2", "End=1")));
    EXPECT_EQ(doc->GetData(doc->GetTable(tbTable).First(), 1), "04.03.2024");
}

TEST_F(OldDocumentImport, HundredThousandRowsImport)
{
    // Every look-up is hashed and every row parsed once, so this takes about ten
    // times as long as 10,000 rows (the benchmark measures it).
    const int count = 100000;
    QString text = "[KEZ]\r\nVersion=2\r\nSubVersion=5\r\n[tbTable]\r\nColCount=2\r\nRowCount="
        + QString::number(count)
        + "\r\n[tbTableConnections]\r\nStart=0\r\n[tbTableHeader]\r\nCaption0=Beginn\r\nType0=1\r\nCaption1="
          "Notiz\r\n";
    for (int r = 0; r < count; ++r)
        text += QString("[tbTableItem%1]\r\n0=2024-03-04 00:00:00\r\n1=Zeile %1\r\n").arg(r);
    ASSERT_TRUE(readOld(text));
    ASSERT_EQ(doc->GetTableRowCount(tbTable), count);
    const TNodeData *last = doc->FindNode("pc.tester.100000");
    ASSERT_TRUE(last);
    EXPECT_EQ(last->StringList, (QStringList { "04.03.2024", "Zeile 99999" }));
}

// ---------------------------------------------------------------- through the document commands

TEST_F(OldDocumentImport, OpeningConvertsOnceWithTheViewSettingsAndTheOldRecords)
{
    write(file, encode(oldDocument(), true));
    QDir().mkpath(sharing("transactions"));
    write(sharing("transactions/pc.bert.1.diff"),
        R"(<?xml version="1.0" encoding="ISO-8859-1"?><document><diff index="2">)"
        R"(<new id="pc.bert.1" index="1"><__change__>0</__change__><__user__>pc.bert</__user__>)"
        R"(<__table__>tbTable</__table__></new>)"
        R"(<change id="pc.bert.1" index="2"><__change__>1</__change__><__user__>pc.bert</__user__>)"
        R"(<Notiz>nachgetragen</Notiz></change></diff></document>)");
    dialogs.QueueAnswer(mrOk);
    CommandsInstance anna("pc.anna");
    ASSERT_TRUE(anna.commands.Open(file));

    EXPECT_EQ(messages(), QStringList { "Import will convert the file to new fileformat!" });
    EXPECT_EQ(inputs(anna.doc, tbTable).mid(0, 3), kTasks);
    EXPECT_EQ(anna.doc.GetData(anna.doc.FindNode("pc.bert.1"), 5), "nachgetragen");
    EXPECT_EQ(anna.host.applied.Footer, "Fuss");
    EXPECT_EQ(anna.host.applied.ColWidth, 12);
    EXPECT_EQ(anna.host.applied.Zoom, 150);
    EXPECT_EQ(anna.host.solved, 1); // overlapping bars are separated once after the import
    EXPECT_EQ(anna.host.captions.last(), file);
    EXPECT_FALSE(anna.doc.Setup().FCompressedSave);

    // The file and the new working copy hold the converted document; opening it
    // again asks nothing and finds the view settings in the user's settings file.
    Document reread;
    ASSERT_TRUE(reread.LoadFrom(file));
    EXPECT_EQ(reread.GetTableRowCount(tbTable), 4);
    ASSERT_FALSE(folders().isEmpty());
    EXPECT_TRUE(TDocumentCommands::FilesAreIdentical(sharing(folders().last() + "/Plan.kez"), file));
    anna.host.applied = TDocumentSettings {};
    ASSERT_TRUE(anna.commands.Open(file));
    EXPECT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(anna.host.applied.Footer, "Fuss");
    EXPECT_EQ(anna.doc.GetTableRowCount(tbTable), 4);
}

TEST_F(OldDocumentImport, TooOldOrDeclinedFilesStayAsTheyAre)
{
    const QByteArray oldBytes = encode(oldDocument(2, 2), false);
    write(file, oldBytes);
    CommandsInstance anna("pc.anna");
    EXPECT_FALSE(anna.commands.Open(file));
    EXPECT_EQ(messages(),
        (QStringList { "Version of file too old. Please contact morvane-software support for instructions.",
            "File cannot be loaded. The Filetype is unknown." }));
    EXPECT_EQ(read(file), oldBytes);

    // Declining the conversion is no unreadable file.
    const QString other = path("Other.kez");
    const QByteArray bytes = encode(oldDocument(), false);
    write(other, bytes);
    dialogs.QueueAnswer(mrCancel);
    EXPECT_FALSE(anna.commands.Open(other));
    EXPECT_EQ(messages().mid(2), QStringList { "Import will convert the file to new fileformat!" });
    EXPECT_EQ(read(other), bytes);
    expectNewDocument(anna.doc);
}

} // namespace
