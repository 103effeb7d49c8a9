#include "document/program/IniFile.h"

#include "tests/support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

std::unique_ptr<TMemIniFile> fromBytes(const QByteArray &bytes)
{
    auto ini = std::make_unique<TMemIniFile>();
    ini->LoadBytes(bytes);
    return ini;
}

QStringList allLines(const TMemIniFile &ini)
{
    QStringList lines;
    ini.GetStrings(lines);
    return lines;
}

using testsupport::readFile;
using testsupport::writeFile;

} // namespace

TEST(IniFile, ReadsHexNumbersAndKeepsBlanksAroundEquals)
{
    const auto ini = fromBytes("[Main]\r\nLow=0x1F\r\nUp=0X1f\r\nBare=0x\r\nBad=0x1G\r\nColor=0xFFFFFFFF\r\n"
                               "Neg=-12\r\nHuge=99999999999\r\nWord=12a\r\nOn=1\r\n Key = value \r\n");
    EXPECT_EQ(ini->ReadInteger("Main", "Low", 0), 31);
    EXPECT_EQ(ini->ReadInteger("MAIN", "up", 0), 31);
    EXPECT_EQ(ini->ReadInteger("Main", "Bare", 7), 7);
    EXPECT_EQ(ini->ReadInteger("Main", "Bad", 7), 7);
    EXPECT_EQ(ini->ReadInteger("Main", "Color", 0), -1);
    EXPECT_EQ(ini->ReadInteger("Main", "Neg", 0), -12);
    EXPECT_EQ(ini->ReadInteger("Main", "Huge", 7), 7);
    EXPECT_EQ(ini->ReadInteger("Main", "Word", 7), 7);
    EXPECT_EQ(ini->ReadInteger("Main", "Missing", 7), 7);
    EXPECT_TRUE(ini->ReadBool("Main", "On", false));
    EXPECT_TRUE(ini->ReadBool("Main", "Neg", false));
    EXPECT_TRUE(ini->ReadBool("Main", "Missing", true));
    // The key is " Key " with its blanks, the value " value " with its blank.
    EXPECT_EQ(ini->ReadString("Main", " Key ", "-"), " value ");
    EXPECT_EQ(ini->ReadString("Main", "Key", "-"), "-");
    EXPECT_TRUE(ini->ValueExists("main", " KEY "));
    EXPECT_FALSE(ini->ValueExists("main", "Key"));
}

TEST(IniFile, ParsesLinesVerbatimAndWritesSectionsInOrder)
{
    const auto ini = fromBytes("lost=before header\n[B]\n;comment\nx=1\n\nno equals\n  [indented]\n"
                               "[ spaced ]\rK=v=w\r\n[A]\r\nb=2\r\n");
    QStringList sections;
    ini->ReadSections(sections);
    EXPECT_EQ(sections, (QStringList { "B", " spaced ", "A" }));
    QStringList values;
    ini->ReadSectionValues("b", values);
    EXPECT_EQ(values, (QStringList { "x=1", "no equals", "  [indented]" }));
    QStringList keys;
    ini->ReadSection("B", keys);
    EXPECT_EQ(keys, QStringList { "x" });
    EXPECT_EQ(ini->ReadString(" spaced ", "k", ""), "v=w");

    EXPECT_TRUE(ini->WriteString("A", "B", "3")); // replaces the line of "b" in place
    EXPECT_TRUE(ini->WriteString("New", "k", "v"));
    ini->DeleteKey("B", "X");
    EXPECT_EQ(ini->FileBytes(),
        "[B]\r\nno equals\r\n  [indented]\r\n\r\n[ spaced ]\r\nK=v=w\r\n\r\n"
        "[A]\r\nB=3\r\n\r\n[New]\r\nk=v\r\n\r\n");
}

TEST(IniFile, RepeatedSectionsAndKeysKeepTheirLinesAndTheFirstWins)
{
    const auto ini = fromBytes("[S]\r\na=1\r\nA=2\r\n[s]\r\na=3\r\n");
    EXPECT_EQ(ini->ReadString("S", "a", ""), "1");
    ini->DeleteKey("S", "a");
    EXPECT_EQ(ini->ReadString("S", "a", ""), "2");
    ini->EraseSection("S");
    EXPECT_EQ(ini->ReadString("S", "a", ""), "3");
    ini->EraseSection("S");
    EXPECT_TRUE(allLines(*ini).isEmpty());
}

TEST(IniFile, RefusesWritesThatWouldBreakTheFile)
{
    TMemIniFile ini;
    ASSERT_TRUE(ini.WriteString("S", "k", "v"));
    const QByteArray before = ini.FileBytes();
    EXPECT_FALSE(ini.WriteString("S", "a=b", "v"));
    EXPECT_FALSE(ini.WriteString("S", ";k", "v"));
    EXPECT_FALSE(ini.WriteString("S", "[k]", "v"));
    EXPECT_FALSE(ini.WriteString("S", "k", "two\r\nlines"));
    EXPECT_FALSE(ini.WriteString("S", "k", "cr\ronly"));
    EXPECT_FALSE(ini.WriteString("S", "k\n", "v"));
    EXPECT_FALSE(ini.WriteString("Sec\ntion", "k", "v"));
    EXPECT_EQ(ini.FileBytes(), before);
    EXPECT_TRUE(TMemIniFile::CanStore("[S]", "k;[", "=[x]"));
    EXPECT_TRUE(ini.WriteString("[S]", "k;[", "=[x]"));
    EXPECT_EQ(fromBytes(ini.FileBytes())->ReadString("[S]", "k;[", ""), "=[x]");
}

TEST(IniFile, EncodesWindows1252OrUtf8WhenNeeded)
{
    TMemIniFile ini;
    ini.WriteString("S", "k", "M\u00fcller \u20ac");
    EXPECT_EQ(ini.FileBytes(), "[S]\r\nk=M\xfcller \x80\r\n\r\n");
    // "Ã¼" in Windows-1252 is C3 BC, which would read back as UTF-8 "ü".
    ini.WriteString("S", "k", "\u00c3\u00bc");
    EXPECT_EQ(ini.FileBytes(), "[S]\r\nk=\xc3\x83\xc2\xbc\r\n\r\n");
    EXPECT_EQ(fromBytes(ini.FileBytes())->ReadString("S", "k", ""), "\u00c3\u00bc");
    ini.WriteString("S", "k", "\u03a9 \u00fc");
    EXPECT_EQ(ini.FileBytes(), "[S]\r\nk=\xce\xa9 \xc3\xbc\r\n\r\n");
    EXPECT_EQ(fromBytes(ini.FileBytes())->ReadString("S", "k", ""), "\u03a9 \u00fc");
}

TEST(IniFile, TypedValuesUseTheUserFormats)
{
    FormatSettings() = TFormatSettings {};
    TMemIniFile ini;
    const TDateTime leap = EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 9, 0);
    ini.WriteDate("S", "d", leap);
    ini.WriteDateTime("S", "dt", leap);
    ini.WriteTime("S", "t", leap);
    ini.WriteFloat("S", "f", 1.5);
    ini.WriteBool("S", "b", true);
    ini.WriteInteger("S", "i", -3);
    EXPECT_EQ(ini.FileBytes(),
        "[S]\r\nd=29.02.2024\r\ndt=29.02.2024 13:05:09\r\nt=13:05:09\r\nf=1,5\r\nb=1\r\ni=-3\r\n\r\n");
    EXPECT_EQ(ini.ReadDate("S", "d", 0), EncodeDate(2024, 2, 29));
    EXPECT_DOUBLE_EQ(ini.ReadDateTime("S", "dt", 0), leap);
    EXPECT_DOUBLE_EQ(ini.ReadTime("S", "t", 0), EncodeTime(13, 5, 9, 0));
    EXPECT_EQ(ini.ReadFloat("S", "f", 0), 1.5);
    ini.WriteString("S", "bad", "30.02.2024");
    ini.WriteString("S", "empty", "");
    for (const char *key : { "bad", "empty", "missing" }) {
        EXPECT_EQ(ini.ReadDate("S", key, -1), -1) << key;
        EXPECT_EQ(ini.ReadFloat("S", key, -1), -1) << key;
    }
}

TEST(IniFile, FileRoundTripPlainAndCompressed)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("kez.ini");
    EXPECT_TRUE(TMemIniFile(path).Loaded().ok()); // a missing file is no error
    ASSERT_TRUE(writeFile(path, "text before\r\n[View]\r\nzoom=3\r\n"));
    TMemIniFile ini(path);
    ini.WriteString("view", "Font", "Arial");
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(readFile(path), "[View]\r\nzoom=3\r\nFont=Arial\r\n\r\n");
    ASSERT_TRUE(ini.UpdateFile(true));
    EXPECT_TRUE(readFile(path).startsWith("zip")); // the stream's magic, not plain text
    const TMemIniFile reread(path);
    EXPECT_EQ(allLines(reread), allLines(ini));
}

TEST(IniFile, FailedWritesAreReportedAndKeepTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("kez.ini");
    ASSERT_TRUE(writeFile(path, "[Old]\r\n"));
    TMemIniFile ini(path);
    ini.WriteString("New", "k", "v");
    {
        platform::ScopedFileFaults faults({ {}, [](const QString &) { return true; } });
        const platform::WriteResult result = ini.UpdateFile();
        EXPECT_FALSE(result);
        EXPECT_FALSE(result.reason().isEmpty());
    }
    EXPECT_EQ(readFile(path), "[Old]\r\n");
    EXPECT_FALSE(TMemIniFile(dir.filePath("no/such/folder.ini")).UpdateFile());
    EXPECT_FALSE(TMemIniFile().UpdateFile());
}

TEST(IniFile, ManySectionsStayAddressable)
{
    QByteArray text;
    for (int i = 0; i < 20000; ++i)
        text += "[Task" + QByteArray::number(i) + "]\r\nName=n" + QByteArray::number(i) + "\r\n";
    const auto ini = fromBytes(text);
    EXPECT_EQ(ini->ReadString("task19999", "NAME", ""), "n19999");
    ini->EraseSection("Task0");
    EXPECT_EQ(ini->ReadString("Task1", "Name", ""), "n1");
    EXPECT_EQ(ini->ReadString("Task0", "Name", "gone"), "gone");
}

TEST(IniFile, SetStringsSplitsItemsHoldingLineBreaks)
{
    TMemIniFile ini;
    ini.SetStrings({ "[A]\r\na=1", "b=2\nc=3", "[B]" });
    EXPECT_EQ(allLines(ini), (QStringList { "[A]", "a=1", "b=2", "c=3", "", "[B]", "" }));
}
