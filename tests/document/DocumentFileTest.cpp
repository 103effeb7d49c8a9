#include "bench/generator/DocumentGenerator.h"
#include "document/program/Log.h"
#include "document/program/Utils.h"
#include "document/xml/XMLFile.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/document/commands/CommandsTestSupport.h"

namespace {

class DocumentFile : public CommandsTest, public DocumentFixture {
protected:
    static QStringList logLines()
    {
        return QString::fromUtf8(read(LogFilePath())).split('\n', Qt::SkipEmptyParts);
    }

    std::unique_ptr<Document> fresh()
    {
        auto other = std::make_unique<Document>();
        other->SetIdentity("pc.reader");
        return other;
    }

    // A file from lines joined by CR LF, as the writer lays them out.
    static QByteArray lines(const QStringList &text) { return (text.join("\r\n") + "\r\n").toLatin1(); }

    static QStringList version()
    {
        int major, minor, release, build, flags;
        GetBuildInfo(QString(), major, minor, release, build, flags);
        return { QString::number(major), QString::number(minor), QString::number(release),
            QString::number(build) };
    }

    // A document in the file layout, with setup elements and rows given by the caller.
    static QByteArray document(const QStringList &setup, const QStringList &data)
    {
        QStringList text { R"(<?xml version="1.0" encoding="ISO-8859-1" />)", "<document>", "  <setup>" };
        for (const QString &line : setup)
            text << "    " + line;
        text << "  </setup>"
             << "  <data>";
        for (const QString &line : data)
            text << "    " + line;
        text << "  </data>"
             << R"(  <diff index="0" />)"
             << "</document>";
        return lines(text);
    }
};

} // namespace

// The small document of the layout test below.
static void fillSmallDocument(Document &doc)
{
    doc.ResizeTable(tbTable, 3);
    doc.SetColumnStrings(tbTable, 0, { "A", "B" });
    doc.SetColumnCaption(tbTable, 1, "Start?");
    doc.SetColumnCaption(tbTable, 2, "End date");
    doc.AddPositionGroup("Hall 1", "A");
    changeSetup(doc, [](TDocumentSetup &s) {
        s.FColors = { 0x0000FF };
        s.FMaxHistoryFiles = 12;
        s.FDefaultHolidayReason = "Holiday";
        s.FRowSets = { 0, 2 };
        s.FHolidayList = { { "New Year", 1, 1, true, false } };
        s.FCompressedSave = false;
    });
    doc.SetRowSet(rsTop);

    TNodeData *task = doc.AddNode("pc.tester.1", tbTable, false);
    doc.DoSetData(task, 0, "A", false);
    doc.DoSetData(task, 1, "04.03.2024", false);
    TNodeData *absent = doc.AddNode("pc.tester.2", tbExclude, false);
    doc.DoSetData(absent, 0, "A", false);
    doc.DoSetData(absent, 1, "06.03.2024", false);
    doc.DoSetData(absent, 3, "1", false);
    doc.DoSetData(absent, 6, "Ski trip", false);
}

TEST_F(DocumentFile, WritesTheDocumentLayout)
{
    fillSmallDocument(*doc);
    ASSERT_EQ(doc->GetData_(doc->FindNode("pc.tester.2"), cnEnd), "06.03.2024");
    ASSERT_TRUE(doc->SaveTo(path("small.kez")));

    const QStringList v = version();
    QStringList connections;
    for (const char *role : { "TextLeftTop", "TextLeftMiddle", "TextLeftBottom", "TextcenterTop",
             "TextCenterMiddle", "TextCenterBottom", "TextRightTop", "TextRightMiddle", "TextRightBottom",
             "LengthWithWeekend", "Interval" })
        connections << QStringLiteral("  <%1>-1</%1>").arg(role);
    const QByteArray expected = document(
        QStringList { "<Version>" + v[0] + "</Version>", "<SubVersion>" + v[1] + "</SubVersion>",
            "<Ausgabe>" + v[2] + "</Ausgabe>", "<Build>" + v[3] + "</Build>", "<MinUnit>0</MinUnit>",
            "<MaxHistoryFiles>12</MaxHistoryFiles>", "<DefaultHolidayReason>Holiday</DefaultHolidayReason>",
            "<DefaultCalcWorkdays>1</DefaultCalcWorkdays>", "<Connections>", "  <Position>0</Position>",
            "  <Start>1</Start>", "  <End>2</End>", "  <Length>-1</Length>", "  <Termin>-1</Termin>",
            "  <Color>-1</Color>" }
            + connections
            + QStringList { "</Connections>", "<Headers>", "  <0>", "    <Caption>Position</Caption>",
                "    <Type>2</Type>", "    <Strings>A,B</Strings>", "  </0>", "  <1>",
                "    <Caption>Start?</Caption>", "    <Type>1</Type>", "    <Strings />", "  </1>", "  <2>",
                "    <Caption>End&nbsp;date</Caption>", "    <Type>1</Type>", "    <Strings />", "  </2>",
                "</Headers>", "<Color>", "  <0>0x000000FF</0>", "</Color>", "<HolidayColor>",
                "  <0>0x00008080</0>", "  <1>0x0000FFFF</1>", "  <2>0x0000BF00</2>", "</HolidayColor>",
                "<HolidayReason>Holiday,Sick,Other</HolidayReason>", "<PositionGroup>", "  <1>",
                "    <Name>Hall&nbsp;1</Name>", "    <Filter>A</Filter>", "  </1>", "</PositionGroup>",
                "<RowHeight>162</RowHeight>", "<ColWidth>8</ColWidth>", "<Zoom>100</Zoom>", "<RowSet>",
                "  <0>0</0>", "  <1>2</1>", "</RowSet>", "<Public&nbsp;Holiday>", "  <0>",
                "    <Name>New&nbsp;Year</Name>", "    <Day>1</Day>", "    <Month>1</Month>",
                "    <Enabled>1</Enabled>", "    <Easter>0</Easter>", "  </0>", "</Public&nbsp;Holiday>" },
        { R"(<new id="pc.tester.1">)", "  <__table__>tbTable</__table__>", "  <Position>A</Position>",
            "  <Start&#63;>2024-03-04&nbsp;00:00:00</Start&#63;>",
            "  <End&nbsp;date>1899-12-30&nbsp;00:00:00</End&nbsp;date>", "</new>",
            R"(<new id="pc.tester.2">)", "  <__table__>tbExclude</__table__>", "  <Position>A</Position>",
            "  <Start>2024-03-06&nbsp;00:00:00</Start>", "  <End>2024-03-06&nbsp;00:00:00</End>",
            "  <Length>1</Length>", "  <Working&nbsp;Days>Ja</Working&nbsp;Days>",
            "  <Absent&nbsp;reason>Holiday</Absent&nbsp;reason>", "  <Comment>Ski&nbsp;trip</Comment>",
            "</new>" });
    EXPECT_EQ(read(path("small.kez")).toStdString(), expected.toStdString());

    // The same text, written by hand, loads into a document that is written as
    // the same text again: every value and cell was read.
    write(path("by-hand.kez"), expected);
    auto loaded = fresh();
    ASSERT_TRUE(loaded->LoadFrom(path("by-hand.kez")));
    EXPECT_EQ(rowTexts(*loaded, tbExclude),
        QStringList({ "pc.tester.2: A|06.03.2024|06.03.2024|1|Ja|Holiday|Ski trip" }));
    loaded->SetRowSet(rsTop); // a view setting: the row height is written from it, not read
    ASSERT_TRUE(loaded->SaveTo(path("again.kez")));
    EXPECT_EQ(read(path("again.kez")).toStdString(), expected.toStdString());
    EXPECT_TRUE(dialogs.Questions().isEmpty());
}

class DocumentFileRoundTrip : public DocumentFile, public ::testing::WithParamInterface<bool> { };

TEST_P(DocumentFileRoundTrip, KeepsEveryCellSetupValueAndID)
{
    const bool compressed = GetParam();
    doc->ResizeTable(tbTable, 9);
    doc->SetColumnCaption(tbTable, 6, "Due / when?");
    doc->SetColumnType(tbTable, 6, ctDate);
    doc->SetConnection(tbTable, cnTermin, 6);
    doc->SetColumnCaption(tbTable, 7, QString::fromUtf8("Größe Ω 漢字 😀"));
    doc->SetColumnType(tbTable, 7, ctNumber);
    doc->SetColumnCaption(tbTable, 8, "Links");
    doc->SetColumnType(tbTable, 8, ctLink);
    doc->SetColumnStrings(tbTable, 4, { "open", "\"quoted, item\"", QString::fromUtf8("Ω done") });
    doc->AddPositionGroup("Front", "\"Position 1\",\"Position 2\"");
    doc->AddPositionGroup(QString::fromUtf8("Hinten Ω"), "\"Position 3\"");
    changeSetup(*doc, [&](TDocumentSetup &s) {
        s.FColors = { 0x010203, 0xFFFFFF, 0x000000 };
        s.FHolidayColors = { 0xABCDEF, 0x123456, 0x000001 };
        s.FMaxHistoryFiles = 7;
        s.FDefaultHolidayReason = "Sick";
        s.FDefaultCalcWorkdays = false;
        s.FRowSets = { 2, 1, 0 };
        s.FHolidayList
            = { { "Good Friday", -2, 0, true, true }, { QString::fromUtf8("Fête"), 14, 7, false, false } };
        s.FCompressedSave = compressed;
    });

    TNodeData *task = addTask("pc.tester.5", "Position 2", "04.03.2024", "3");
    doc->SetData(task, 5, "  leading and trailing  & <tags> \"quotes\" ");
    doc->SetData(task, 6, "29.02.2024");
    doc->SetData(task, 7, "-42");
    doc->SetData(task, 8, "https://example.org/?a=1&b=2");
    doc->SetData(task, 4, "\"quoted, item\"");
    addTask("other.user.9", "*", "01.01.2030", "1");
    TNodeData *absent = doc->AddNode("pc.tester.6", tbExclude, true);
    doc->SetData(absent, 0, "Position 3");
    doc->SetData(absent, 1, "05.03.2024");
    doc->SetData(absent, 3, "2");
    doc->SetData(absent, 6, QString::fromUtf8("Ärzte 🩺"));

    ASSERT_TRUE(doc->SaveTo(path("round.kez")));
    EXPECT_EQ(read(path("round.kez")).startsWith("<?xml"), !compressed);

    auto loaded = fresh();
    loaded->SetCompressedSave(!compressed);
    ASSERT_TRUE(loaded->LoadFrom(path("round.kez")));
    EXPECT_EQ(loaded->Setup().FCompressedSave, compressed);
    for (TWhichTable t : { tbTable, tbExclude }) {
        ASSERT_EQ(loaded->GetTableColCount(t), doc->GetTableColCount(t));
        for (int c = 0; c < doc->GetTableColCount(t); ++c) {
            EXPECT_EQ(loaded->GetColumnCaption(t, c), doc->GetColumnCaption(t, c)) << c;
            EXPECT_EQ(loaded->GetColumnType(t, c), doc->GetColumnType(t, c)) << c;
            EXPECT_EQ(loaded->GetColumnStrings(t, c), doc->GetColumnStrings(t, c)) << c;
        }
        for (int role = cnPosition; role <= cnInterval; ++role)
            EXPECT_EQ(loaded->GetConnection(t, TConnection(role)), doc->GetConnection(t, TConnection(role)));
        EXPECT_EQ(rowTexts(*loaded, t), rowTexts(*doc, t));
    }
    EXPECT_EQ(loaded->Setup().FColors, doc->Setup().FColors);
    EXPECT_EQ(loaded->Setup().FHolidayColors, doc->Setup().FHolidayColors);
    EXPECT_EQ(loaded->Setup().FMaxHistoryFiles, 7);
    EXPECT_EQ(loaded->Setup().FDefaultHolidayReason, "Sick");
    EXPECT_FALSE(loaded->Setup().FDefaultCalcWorkdays);
    EXPECT_EQ(loaded->Setup().FPositionGroup, doc->Setup().FPositionGroup);
    EXPECT_EQ(loaded->Setup().FPositionGroupNames, doc->Setup().FPositionGroupNames);
    EXPECT_EQ(loaded->Setup().FRowSets, doc->Setup().FRowSets);
    EXPECT_EQ(loaded->Setup().FHolidayList, doc->Setup().FHolidayList);
    // The rows are complete again, and the loaded IDs keep new ones apart.
    EXPECT_TRUE(loaded->FindNode("pc.tester.5")->nodeValid);
    EXPECT_EQ(loaded->FindNode("pc.tester.5")->nodeTermin, EncodeDate(2024, 2, 29));
    EXPECT_EQ(loaded->FindNode("pc.tester.6")->NodeTable, tbExclude);
    EXPECT_TRUE(loaded->UndoRedo().undoList().empty());
    EXPECT_TRUE(dialogs.Questions().isEmpty());
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(PlainAndCompressed, DocumentFileRoundTrip, ::testing::Bool());

TEST_F(DocumentFile, DatesKeepTheirDayAndTimeAndEmptyDatesStayEmpty)
{
    TNodeData *task = addTask("pc.tester.1", "Position 1", "04.03.2024", "1");
    doc->SetCompressedSave(false);
    doc->SetData(task, 2, ""); // an empty End is written as day 0 and reads back empty
    // A text that is no date is kept as written, never turned into day 0 (which
    // reads back empty); a date with a time and one in ISO form are dates.
    addTask("pc.tester.2", "Position 1", "no date", "1");
    addTask("pc.tester.3", "Position 1", "05.03.2024 13:45", "1");
    addTask("pc.tester.4", "Position 1", "2024-03-06", "1");
    ASSERT_TRUE(doc->SaveTo(path("days.kez")));
    const QString text = QString::fromLatin1(read(path("days.kez")));
    EXPECT_TRUE(text.contains("<Start>2024-03-04&nbsp;00:00:00</Start>"));
    EXPECT_TRUE(text.contains("<Start>no&nbsp;date</Start>"));
    EXPECT_TRUE(text.contains("<Start>2024-03-05&nbsp;00:00:00</Start>"));
    EXPECT_TRUE(text.contains("<Start>2024-03-06&nbsp;00:00:00</Start>"));
    EXPECT_TRUE(text.contains("<End>1899-12-30&nbsp;00:00:00</End>"));

    auto loaded = fresh();
    ASSERT_TRUE(loaded->LoadFrom(path("days.kez")));
    EXPECT_EQ(loaded->GetData(loaded->FindNode("pc.tester.1"), 1), "04.03.2024");
    EXPECT_EQ(loaded->GetData(loaded->FindNode("pc.tester.2"), 1), "no date");
    EXPECT_FALSE(loaded->FindNode("pc.tester.2")->nodeValid);
    EXPECT_EQ(loaded->GetData(loaded->FindNode("pc.tester.3"), 1), "05.03.2024");
    EXPECT_TRUE(loaded->FindNode("pc.tester.3")->nodeValid);
    EXPECT_EQ(loaded->GetData(loaded->FindNode("pc.tester.4"), 1), "06.03.2024");
    // And once more: what was kept stays kept.
    ASSERT_TRUE(loaded->SaveTo(path("again.kez")));
    auto again = fresh();
    ASSERT_TRUE(again->LoadFrom(path("again.kez")));
    EXPECT_EQ(again->GetData(again->FindNode("pc.tester.2"), 1), "no date");

    // Minute plans keep the time of day.
    doc->SetMinUnit(muMinute);
    doc->SetData(task, 1, "04.03.2024 08:30:00");
    ASSERT_TRUE(doc->SaveTo(path("minutes.kez")));
    EXPECT_TRUE(
        QString::fromLatin1(read(path("minutes.kez"))).contains("<Start>2024-03-04&nbsp;08:30:00</Start>"));
    auto minutes = fresh();
    ASSERT_TRUE(minutes->LoadFrom(path("minutes.kez")));
    EXPECT_EQ(minutes->GetMinUnit(), muMinute);
    EXPECT_EQ(minutes->GetData(minutes->FindNode("pc.tester.1"), 1), "04.03.2024 08:30:00");
}

TEST_F(DocumentFile, DamagedValuesAreMendedAndTheRestLoads)
{
    write(path("damaged.kez"),
        document({ "<MinUnit>5</MinUnit>", "<MaxHistoryFiles>-3</MaxHistoryFiles>", "<Connections>",
                     "  <Position>0</Position>", "  <Start>1</Start>", "  <Color>2</Color>",
                     "  <Length>99</Length>", "</Connections>", "<Headers>",
                     "  <0><Caption>Who</Caption><Type>2</Type><Strings>Anna,Bert</Strings></0>",
                     "  <1><Caption>From</Caption><Type>1</Type></1>",
                     "  <2><Caption>State</Caption><Type>77</Type><Strings>a,b,c,d</Strings></2>",
                     "</Headers>", "<Color><0>0x00123456</0><1>green</1></Color>",
                     "<HolidayReason>Away</HolidayReason>", "<RowSet><0>9</0><1>-1</1><2>1</2></RowSet>",
                     "<Public&nbsp;Holiday><0><Name>Day</Name><Day>x</Day></0></Public&nbsp;Holiday>" },
            { R"(<new id="a.1"><__table__>tbTable</__table__><Who>Anna</Who>)"
              "<From>2024-13-45&nbsp;00:00:00</From><Unknown>x</Unknown></new>",
                R"(<new id="a.2"><__table__>tbTable</__table__><From>2024-03-04&nbsp;00:00:00</From></new>)",
                R"(<new><__table__>tbTable</__table__><Who>Bert</Who></new>)",
                R"(<new id="a.3"><Position>Anna</Position><Start /></new>)",
                R"(<new id="a.4"><__table__>TBTABLE</__table__></new>)" }));
    ASSERT_TRUE(doc->LoadFrom(path("damaged.kez")));
    EXPECT_EQ(doc->GetMinUnit(), muDay);
    EXPECT_EQ(doc->Setup().FMaxHistoryFiles, 0);
    EXPECT_EQ(doc->GetConnection(tbTable, cnLength), -1); // no such column
    EXPECT_EQ(doc->GetColumnType(tbTable, 2), ctText);
    EXPECT_EQ(doc->Setup().FColors, std::vector<std::uint32_t>({ 0x123456, 0x008080, 0x008080, 0x00FFFF }));
    EXPECT_EQ(doc->Setup().FHolidayColors, std::vector<std::uint32_t>({ 0x008080 }));
    EXPECT_EQ(doc->Setup().FRowSets, std::vector<int>({ 2, 0, 1 }));
    ASSERT_EQ(doc->Setup().FHolidayList.size(), 1u);
    EXPECT_EQ(doc->Setup().FHolidayList[0].day, 0);

    // The bad date is kept as written (the row is invalid); the other rows load.
    EXPECT_EQ(doc->GetData(doc->FindNode("a.1"), 1), "2024-13-45 00:00:00");
    EXPECT_EQ(doc->GetData(doc->FindNode("a.1"), 0), "Anna");
    EXPECT_EQ(doc->GetData(doc->FindNode("a.2"), 1), "04.03.2024");
    EXPECT_EQ(doc->TotalCount(tbTable), 3);
    EXPECT_EQ(doc->TotalCount(tbExclude), 2); // no or another table marker: an absent day
    EXPECT_EQ(doc->GetData(doc->FindNode("a.3"), 0), "Anna");
    const TNodeData *unnamed = doc->GetTable(tbTable).Next(doc->FindNode("a.2"));
    ASSERT_NE(unnamed, nullptr);
    EXPECT_TRUE(unnamed->ID.startsWith("pc.tester."));
    EXPECT_EQ(doc->GetData(unnamed, 0), "Bert");

    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 2) << log.join('\n').toStdString();
    EXPECT_TRUE(log[0].endsWith(" - tried to set minunit to 5"));
    EXPECT_TRUE(log[1].contains("a.1") && log[1].contains("2024-13-45 00:00:00")) << log[1].toStdString();
}

TEST_F(DocumentFile, OnlyANewerFileVersionAsksFirst)
{
    const QStringList v = version();
    const int major = v[0].toInt(), minor = v[1].toInt();
    auto file = [&](int version, int sub) {
        QStringList setup;
        if (version >= 0)
            setup << QStringLiteral("<Version>%1</Version>").arg(version)
                  << QStringLiteral("<SubVersion>%1</SubVersion>").arg(sub);
        write(path("v.kez"), document(setup, { R"(<new id="x.1"><__table__>tbTable</__table__></new>)" }));
    };

    file(major, minor + 1);
    dialogs.QueueAnswer(mrCancel);
    EXPECT_FALSE(doc->LoadFrom(path("v.kez")));
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(dialogs.Questions()[0].Msg,
        QStringLiteral("The file was created with a newer KEZ version.\rKEZ version: %1.%2\r"
                       "File-version: %1.%3\rOpen file anyway?")
            .arg(major)
            .arg(minor)
            .arg(minor + 1));
    EXPECT_EQ(dialogs.Questions()[0].Buttons, TMsgDlgButtons({ mbOK, mbCancel }));
    EXPECT_EQ(doc->TotalCount(tbTable), 0);
    EXPECT_EQ(doc->GetTableColCount(tbTable), 6);

    file(major + 1, 0);
    dialogs.QueueAnswer(mrOk);
    EXPECT_TRUE(doc->LoadFrom(path("v.kez")));
    EXPECT_EQ(doc->TotalCount(tbTable), 1);

    // Older and unversioned files open without a question.
    for (auto [version, sub] : { std::pair { major, minor }, std::pair { major, minor - 1 },
             std::pair { major - 1, 99 }, std::pair { -1, 0 } }) {
        doc->ResetDocument();
        file(version, sub);
        EXPECT_TRUE(doc->LoadFrom(path("v.kez"))) << version << "." << sub;
    }
    EXPECT_EQ(dialogs.Questions().size(), 2);
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}

TEST_F(DocumentFile, FilesThatAreNoDocumentFailWithALogLine)
{
    write(path("nosetup.kez"),
        lines({ R"(<?xml version="1.0" encoding="ISO-8859-1" />)", "<document>", "  <data />",
            "</document>" }));
    EXPECT_FALSE(doc->LoadFrom(path("nosetup.kez")));
    EXPECT_FALSE(doc->LoadFrom(path("missing.kez")));
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 2);
    EXPECT_TRUE(log[0].endsWith(" - loadFrom() error:root node not found in xml"));
    EXPECT_TRUE(log[1].contains(" - loadFrom() error:"));

    // Thousands of columns for thousands of empty rows is no document: refused
    // before the model grows.
    QStringList headers { "<Headers>" };
    for (int i = 0; i < 5000; ++i)
        headers << QStringLiteral("<%1 />").arg(i);
    headers << "</Headers>";
    write(path("huge.kez"), document(headers, QStringList(1000, "<new />")));
    EXPECT_FALSE(doc->LoadFrom(path("huge.kez")));
    EXPECT_TRUE(logLines().last().contains("5000 columns"));
    EXPECT_EQ(doc->GetTableColCount(tbTable), 6); // back to a new document
    EXPECT_EQ(doc->TotalCount(tbExclude), 0);
}

TEST_F(DocumentFile, SavingStartsFromTheTemplateAndNeverDamagesTheOldFile)
{
    addTask("pc.tester.1", "Position 1", "04.03.2024", "1");
    ASSERT_TRUE(doc->SaveTo(path("doc.kez")));
    const QByteArray first = read(path("doc.kez"));

    // Transaction records and stray elements of the old file are not carried over.
    write(path("old.kez"), first);
    {
        TXMLFile old(path("old.kez"), false);
        ASSERT_TRUE(old.Load());
        old.xml()
            .namedNode({ "document", "diff" })
            ->AddNode(THashedString("new"))
            ->AddAttribute(THashedString("id"), "z");
        old.xml().namedNode(THashedString("document"))->AddNode(THashedString("stray"), "x");
        old.SetCompressed(false);
        ASSERT_TRUE(old.Flush());
    }
    ASSERT_TRUE(doc->SaveTo(path("old.kez")));
    EXPECT_EQ(read(path("old.kez")), first);
}

// An absent day moves the end of the task it meets; the file holds the moved end
// even when nothing showed the task in between.
TEST_F(DocumentFile, ASaveStoresTheEndsThatAbsentDaysMoved)
{
    TNodeData *task = addTask("pc.tester.1", "Position 1", "04.03.2024", "2"); // Monday and Tuesday
    ASSERT_EQ(doc->GetData(task, 2), "05.03.2024");
    TNodeData *absent = doc->AddNode("pc.tester.2", tbExclude, true);
    doc->SetData(absent, 0, "Position 1");
    doc->SetData(absent, 1, "05.03.2024");
    doc->SetData(absent, 3, "1");
    ASSERT_EQ(doc->GetData(task, 2), "05.03.2024"); // not derived again yet
    ASSERT_TRUE(doc->SaveTo(path("moved.kez")));

    TXMLFile file(path("moved.kez"), true);
    ASSERT_TRUE(file.Load());
    const TXMLNode *stored = file.xml().namedNode({ "document", "data" })->Node(0);
    ASSERT_EQ(stored->namedAttribute(THashedString("id"))->Value(), "pc.tester.1");
    EXPECT_EQ(
        stored->namedNode(THashedString("End"))->Value(), "2024-03-06 00:00:00"); // Monday and Wednesday
}

TEST_F(DocumentFile, CaptionsThatClashWithTheLayoutStillRoundTrip)
{
    doc->ResizeTable(tbTable, 10);
    const QStringList captions { "Position", "Start", "End", "Length", "State", "Note", "Note", "__table__",
        "", "/slash?" };
    for (int c = 0; c < captions.size(); ++c)
        doc->SetColumnCaption(tbTable, c, captions[c]);
    TNodeData *row = addTask("pc.tester.1", "Position 1", "04.03.2024", "1");
    for (int c = 5; c < 10; ++c)
        doc->SetData(row, c, QStringLiteral("cell %1").arg(c));
    addTask("pc.tester.2", "Position 1", "04.03.2024", "1"); // empty cells under every caption

    // Translated captions of the absent days are matched by their English names.
    doc->SetColumnCaption(tbExclude, 1, "Beginn");
    TNodeData *absent = doc->AddNode("pc.tester.3", tbExclude, false);
    doc->DoSetData(absent, 1, "04.03.2024", false);
    ASSERT_TRUE(doc->SaveTo(path("clash.kez")));

    auto loaded = fresh();
    ASSERT_TRUE(loaded->LoadFrom(path("clash.kez")));
    EXPECT_EQ(rowTexts(*loaded, tbTable), rowTexts(*doc, tbTable));
    EXPECT_EQ(loaded->FindNode("pc.tester.1")->NodeTable, tbTable);
    EXPECT_EQ(loaded->GetData(loaded->FindNode("pc.tester.3"), 1), "04.03.2024");
}

// SaveTo writes the rows without building their tree: its bytes must be the ones the
// tree of SaveToTree is written as, plain and compressed, whatever the cells hold.
TEST_F(DocumentFile, SavedBytesAreTheTreesBytes)
{
    const auto treeBytes = [](Document &source, bool compressed) {
        TXMLFile file(QString(), false);
        source.SaveToTree(file.xml());
        return file.xml().SaveToBytes(compressed);
    };
    const auto check = [&](Document &source, const char *what) {
        for (const bool compressed : { false, true }) {
            source.SetCompressedSave(compressed);
            ASSERT_TRUE(source.SaveTo(path("streamed.kez"))) << what;
            EXPECT_EQ(read(path("streamed.kez")), treeBytes(source, compressed)) << what << compressed;
        }
    };

    check(*doc, "no rows");

    GeneratorOptions options;
    options.tasks = 300;
    options.absentRows = 40;
    options.columns = 9;
    Document generated;
    GenerateDocument(generated, options);
    check(generated, "generated");

    // Names and values that need escapes, references and the blank entity; rows
    // shorter than the table; an empty ID; a caption left empty.
    doc->ResizeTable(tbTable, 6);
    const QStringList captions { "Position", "Start", "End", "/odd?", "", "Ünïcode €\u4e2d" };
    for (int c = 0; c < captions.size(); ++c)
        doc->SetColumnCaption(tbTable, c, captions[c]);
    TNodeData *row = doc->AddNode("pc.<tester>&\"1\"", tbTable, false);
    doc->DoSetData(row, 0, "a & b < c > \"d\"", false);
    doc->DoSetData(row, 1, "04.03.2024 12:30", false);
    doc->DoSetData(row, 3, QString::fromUtf8("tab\there \u4e2d\u6587 \x01 end"), false);
    doc->DoSetData(row, 4, "under no caption", false);
    doc->AddNode(QString(), tbTable, false);
    TNodeData *absent = doc->AddNode("pc.tester.3", tbExclude, false);
    doc->DoSetData(absent, 1, "not a date", false);
    check(*doc, "awkward");
}

// Many distinct dates (more than a save keeps at hand by where their texts lie),
// texts that are no date, one text in many cells, and rows far longer than the
// first ones: the file is still the tree's bytes.
TEST_F(DocumentFile, ManyDatesAndLongLateRowsSaveAsTheirTree)
{
    const QString shared = "01.06.2025";
    for (int i = 0; i < 2500; ++i) {
        TNodeData *row = doc->AddNode("pc.tester." + QString::number(i), tbTable, false);
        const QDate day = QDate(2024, 1, 1).addDays(i % 1700);
        doc->DoSetData(
            row, 1, i % 7 == 3 ? "soon " + QString::number(i % 50) : day.toString("dd.MM.yyyy"), false);
        doc->DoSetData(row, 2, i % 3 == 0 ? shared : QString(), false);
        if (i > 2000)
            doc->DoSetData(row, 5, QString(300, QChar(u'a' + i % 26)) + " & more", false);
    }
    doc->SetCompressedSave(false);
    TXMLFile file(QString(), false);
    doc->SaveToTree(file.xml());
    ASSERT_TRUE(doc->SaveTo(path("dates.kez")));
    const QByteArray saved = read(path("dates.kez"));
    EXPECT_EQ(saved, file.xml().SaveToBytes(false));
    EXPECT_TRUE(saved.contains("<Start>soon&nbsp;3</Start>"));
    EXPECT_TRUE(saved.contains("<Start>2024-01-02&nbsp;00:00:00</Start>"));
    EXPECT_EQ(saved.count("<End>2025-06-01&nbsp;00:00:00</End>"), 834);
}

// The bytes shown while a large document is made are each a prefix of its file's
// bytes, growing; a compressed file shows none, its bytes being made at the end.
TEST_F(DocumentFile, TheBytesShownWhileALargeDocumentIsMadeArePrefixesOfItsFile)
{
    GeneratorOptions options;
    options.tasks = 9000;
    options.absentRows = 10;
    Document generated;
    GenerateDocument(generated, options);
    for (const bool compressed : { false, true }) {
        generated.SetCompressedSave(compressed);
        std::vector<QByteArray> shown;
        const QByteArray bytes
            = generated.FileBytes({}, [&shown](QByteArrayView made) { shown.push_back(made.toByteArray()); });
        EXPECT_EQ(bytes, generated.FileBytes()) << compressed;
        if (compressed) {
            EXPECT_TRUE(shown.empty());
            continue;
        }
        ASSERT_GE(shown.size(), 2u);
        for (size_t i = 0; i < shown.size(); ++i) {
            EXPECT_TRUE(bytes.startsWith(shown[i])) << i;
            if (i > 0) {
                EXPECT_GT(shown[i].size(), shown[i - 1].size()) << i;
            }
        }
        EXPECT_LT(shown.back().size(), bytes.size());
    }
}
