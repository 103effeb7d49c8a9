#include "document/program/Translation.h"

#include "tests/support/TestFiles.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class TranslationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        file = dir.filePath("de.lng");
        ASSERT_TRUE(testsupport::writeFile(file,
            "[translated]\r\nYes=Ja\r\nEmpty=\r\nLine\\nBreak=Zeile\\nUmbruch\r\n"
            "File %s of %s=Datei %s von %s\r\nGr\xfc\xdf"
            "e=Sch\xf6ne Gr\xfc\xdf"
            "e\r\n"));
        SetLanguagefile(file);
    }
    void TearDown() override { CloseFile(); }

    QTemporaryDir dir;
    QString file;
};

} // namespace

TEST_F(TranslationTest, TranslatesOrKeepsTheEnglishText)
{
    EXPECT_EQ(Translate("Yes"), "Ja");
    EXPECT_EQ(Translate("yes"), "Ja"); // keys of an ini file ignore case
    EXPECT_EQ(Translate("Empty"), "Empty");
    EXPECT_EQ(Translate("No"), "No");
    EXPECT_EQ(Translate("Gr\u00fc\u00dfe"), "Sch\u00f6ne Gr\u00fc\u00dfe");
    EXPECT_EQ(Translate("Line\\nBreak"), "Zeile\rUmbruch");
    EXPECT_EQ(Translate("Not\\nthere\\n"), "Not\rthere\r");
    EXPECT_EQ(TranslationOf("Line\\nBreak"), "Zeile\\nUmbruch");
    EXPECT_EQ(CurrentLanguagefile(), file);

    SetLanguagefile(dir.filePath("missing.lng"));
    EXPECT_EQ(Translate("Yes"), "Yes");
    SetLanguagefile(file);
    CloseFile();
    EXPECT_EQ(Translate("Yes"), "Yes");
    EXPECT_TRUE(CurrentLanguagefile().isEmpty());
}

TEST_F(TranslationTest, FormatNeverReplacesInsideAnInsertedArgument)
{
    EXPECT_EQ(Translate("File %s of %s", { "%s", "b" }), "Datei %s von b");
    EXPECT_EQ(Translate("File %s of %s", { "a%s", "%s" }), "Datei a%s von %s");
    EXPECT_EQ(Translate("File %s of %s", { "a" }), "Datei a von %s");
    EXPECT_EQ(Translate("%s and %d", { "x", "y" }), "x and %d");
    EXPECT_EQ(Translate("100%s%s", { "%", "s" }), "100%s");
}

TEST(LanguageFiles, NamesCannotLeaveTheLanguageFolder)
{
    EXPECT_TRUE(LanguageFilePath("../secret").isEmpty());
    EXPECT_TRUE(LanguageFilePath("a/b").isEmpty());
    EXPECT_TRUE(LanguageFilePath("x..").isEmpty());
    EXPECT_EQ(LanguageFilePath("Deutsch"), QCoreApplication::applicationDirPath() + "/languages/Deutsch.lng");
    EXPECT_EQ(DisplayText("a\r\nb\rc\nd"), "a\nb\nc\nd");
}

TEST(LanguageFiles, TheFolderCanBeSetAndReset)
{
    SetLanguageFolder("/data/lang");
    EXPECT_EQ(LanguageFilePath("Deutsch"), "/data/lang/Deutsch.lng");
    EXPECT_TRUE(LanguageFilePath("../x").isEmpty());
    SetLanguageFolder(QString());
    EXPECT_EQ(LanguageFolder(), QCoreApplication::applicationDirPath() + "/languages");
}
