// Program settings and the per-document view settings.
#include "document/program/Settings.h"

#include "document/program/IniFile.h"
#include "document/program/Translation.h"
#include "tests/document/commands/CommandsTestSupport.h"

#include <QFileInfo>

TEST_F(CommandsTest, ProgramSettingsStartWithTheirDefaultsAndAreWrittenOnClose)
{
    TProgramSettings settings;
    settings.DrawLines = false; // a present state the file does not override
    LoadIniFile(settings);
    EXPECT_FALSE(settings.DrawLines);
    // The defaults are what the file gets.
    ASSERT_TRUE(SaveIniFile(settings));
    EXPECT_EQ(ProgramIniFileName(), dataHome.path() + "/Kez/Kez.ini");
    const TMemIniFile ini(ProgramIniFileName());
    EXPECT_EQ(ini.ReadString("edit", "localundo", ""), "1");
    EXPECT_EQ(ini.ReadString("edit", "autoscroll", ""), "1");
    EXPECT_EQ(ini.ReadString("edit", "naturalscroll", ""), "0");
    EXPECT_EQ(ini.ReadString("Setup", "AutoArrange", ""), "0");
    EXPECT_EQ(ini.ReadString("view", "language", ""), "default");
    EXPECT_EQ(ini.ReadString("view", "drawlines", ""), "0");
    EXPECT_FALSE(ini.ValueExists("view", "drawfulltext"));
    EXPECT_EQ(ini.ReadString("setup", "settletime", ""), "5000");

    // The settling time of a slow share, and values out of range.
    for (const auto &[stored, read] :
        std::vector<std::pair<QString, int>> { { "25000", 25000 }, { "-1", 0 }, { "999999999", 120000 } }) {
        TMemIniFile written;
        written.WriteString("setup", "settletime", stored);
        TProgramSettings s;
        LoadIni(written, s);
        EXPECT_EQ(s.SettleTimeMs, read) << qPrintable(stored);
    }
}

TEST_F(CommandsTest, RecentFilesKeepTheirOrderAndEachFileOnce)
{
    TProgramSettings settings;
    for (int i = 0; i < 10; ++i)
        settings.AddToLastFiles(path(QString("f%1.kez").arg(i)));
    ASSERT_EQ(settings.LastFiles.size(), TProgramSettings::kMaxLastFiles);
    EXPECT_EQ(settings.LastFiles.first(), path("f9.kez"));
    settings.AddToLastFiles(path("f5.kez"));
    settings.AddToLastFiles(path("F4.kez")); // another file on a case-sensitive file system
    EXPECT_EQ(settings.LastFiles.mid(0, 4),
        QStringList({ path("F4.kez"), path("f5.kez"), path("f9.kez"), path("f8.kez") }));
    EXPECT_EQ(settings.LastFiles.count(path("f5.kez")), 1);

    TMemIniFile ini;
    SaveIni(ini, settings);
    TProgramSettings read;
    LoadIni(ini, read);
    EXPECT_EQ(read.LastFiles, settings.LastFiles);
}

TEST_F(CommandsTest, DocumentSettingsHaveDefaultsAndClampedNumbers)
{
    TDocumentSettings settings;
    const TMemIniFile none;
    LoadFileIni(none, settings, 45000.5);
    EXPECT_EQ(settings.LastTimeChartStart, 45000.5);

    TMemIniFile ini;
    ini.SetStrings({ "[Setup]", "RowHeight=40", "Zoom=0", "Transparency=500", "ColWidth=99999999",
        "Filters=2000000000", "SmallTimeChartRowheight=50", "editorwidth=-7",
        "LastTimeChartStart=31.12.99999", "LastTimeChartTop=-3" });
    LoadFileIni(ini, settings, 45000);
    EXPECT_EQ(settings.FontSize, 7); // from the row height
    EXPECT_EQ(settings.Zoom, 1);
    EXPECT_EQ(settings.Transparency, 100);
    EXPECT_EQ(settings.ColWidth, 1000);
    EXPECT_EQ(settings.Filters.size(), 1000u);
    EXPECT_EQ(settings.SmallTimeChartRowHeight, 8);
    EXPECT_EQ(settings.EditorWidth[0], 0);
    EXPECT_EQ(settings.LastTimeChartStart, 45000);
    EXPECT_EQ(settings.LastTimeChartTop, 0);
    ini.WriteString("Setup", "FontSize", "99999");
    LoadFileIni(ini, settings, 45000);
    EXPECT_EQ(settings.FontSize, 144);
}

TEST_F(CommandsTest, DocumentSettingsRoundTripWithTheirFilters)
{
    TDocumentSettings settings;
    settings.Header = "Plan $PAGE_NO$";
    settings.PrintLochrand = true;
    settings.Zoom = 250;
    settings.FontName = "Sans";
    settings.FontSize = 12;
    settings.LastTimeChartStart = 45000;
    settings.Filters
        = { { 1, 3, 0, "01.01.2024", "31.01.2024", "", "Start" }, { 3, 4, 1, "x", "", "G", "Comment" } };
    TMemIniFile ini;
    SaveFileIni(ini, settings);
    TDocumentSettings read;
    LoadFileIni(ini, read, 0);
    EXPECT_EQ(read.Header, settings.Header);
    EXPECT_TRUE(read.PrintLochrand);
    EXPECT_EQ(read.Zoom, 250);
    EXPECT_EQ(read.FontName, "Sans");
    EXPECT_EQ(read.FontSize, 12);
    EXPECT_EQ(read.LastTimeChartStart, 45000);
    EXPECT_EQ(read.Filters, settings.Filters);

    // Fewer filters leave no stale sections behind.
    settings.Filters.resize(1);
    SaveFileIni(ini, settings);
    EXPECT_FALSE(ini.ValueExists("Filter1", "Type"));
}

TEST_F(CommandsTest, OpenReadsTheViewSettingsAndUnknownLanguagesAreIgnored)
{
    CommandsInstance anna("pc.anna");
    ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    TMemIniFile ini(anna.commands.Watcher().GetUserSettingsFileName());
    EXPECT_EQ(ini.ReadString("Setup", "Zoom", ""), "100");
    ini.WriteString("Setup", "Zoom", "300");
    ASSERT_TRUE(ini.UpdateFile());
    ASSERT_TRUE(anna.commands.Open(path("Plan.kez")));
    EXPECT_EQ(anna.commands.ViewSettings().Zoom, 300);
    EXPECT_EQ(anna.doc.Setup().FZoom, 300);

    anna.commands.SetLanguage("../../etc/passwd");
    EXPECT_TRUE(anna.commands.Language().isEmpty());
    anna.commands.SetLanguage("no such language");
    EXPECT_TRUE(anna.commands.Language().isEmpty());
    SetLanguagefile(QString());
}
