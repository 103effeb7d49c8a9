#include "document/gui/WindowTranslation.h"

#include "document/program/Translation.h"
#include "tests/support/TestFiles.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

class Lists : public QObject {
    Q_OBJECT
    Q_PROPERTY(QStringList items MEMBER items)
    Q_PROPERTY(int count MEMBER count)
public:
    QStringList items;
    int count = 0;
};

class WindowTranslationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        german = writeLanguage("de.lng",
            "Settings=Einstellungen\r\nOK=Gut\r\nSave changes=\xc4nderungen speichern\r\n"
            "Open=\xd6"
            "ffnen\r\nFile=Datei\r\nYes=Ja\r\nTwo\\nlines=Zwei\\nZeilen\r\n"
            "Cancel=Abbrechen\r\n");
        french = writeLanguage("fr.lng",
            "Settings=Param\xe8tres\r\nOK=D'accord\r\nSave changes=Enregistrer\r\n"
            "Open=Ouvrir\r\nFile=Fichier\r\n");

        form = std::make_unique<QWidget>();
        form->setObjectName("SetupForm");
        form->setWindowTitle("Settings");
        ok = new QPushButton("OK", form.get());
        ok->setObjectName("okButton");
        ok->setToolTip("Save changes");
        auto *unnamedPanel = new QWidget(form.get());
        label = new QLabel("Two\\nlines", unnamedPanel);
        label->setObjectName("infoLabel");
        edit = new QLineEdit("Yes", form.get());
        edit->setObjectName("nameEdit");
        sameAsName = new QLabel("captionLabel", form.get());
        sameAsName->setObjectName("captionLabel");
        menu = new QMenu("File", form.get());
        menu->setObjectName("fileMenu");
        open = menu->addAction("Open");
        open->setObjectName("actionOpen");
        separator = menu->addSeparator();
        separator->setObjectName("sep");
        dash = new QPushButton("-", form.get());
        dash->setObjectName("dash");
    }
    void TearDown() override { CloseFile(); }

    QString writeLanguage(const QString &name, const QByteArray &lines)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(testsupport::writeFile(path, "[translated]\r\n" + lines));
        return path;
    }

    QTemporaryDir dir;
    QString german, french;
    std::unique_ptr<QWidget> form;
    QPushButton *ok = nullptr, *dash = nullptr;
    QLabel *label = nullptr, *sameAsName = nullptr;
    QLineEdit *edit = nullptr;
    QMenu *menu = nullptr;
    QAction *open = nullptr, *separator = nullptr;
};

} // namespace

TEST_F(WindowTranslationTest, TranslatesTwiceFromTheEnglishTexts)
{
    SetLanguagefile(german);
    Translate(form.get());
    EXPECT_EQ(form->windowTitle(), "Einstellungen");
    EXPECT_EQ(ok->text(), "Gut");
    EXPECT_EQ(ok->toolTip(), "\u00c4nderungen speichern");
    EXPECT_EQ(label->text(), "Zwei\nZeilen"); // held through an unnamed panel
    EXPECT_EQ(menu->title(), "Datei");
    EXPECT_EQ(open->text(), "\u00d6ffnen");
    EXPECT_EQ(edit->text(), "Yes"); // user input, not a caption
    EXPECT_EQ(sameAsName->text(), "captionLabel");
    EXPECT_EQ(dash->text(), "-");
    EXPECT_TRUE(separator->text().isEmpty());

    SetLanguagefile(french);
    Translate(form.get());
    EXPECT_EQ(form->windowTitle(), "Param\u00e8tres");
    EXPECT_EQ(ok->text(), "D'accord");
    EXPECT_EQ(ok->toolTip(), "Enregistrer"); // from its own English hint
    EXPECT_EQ(label->text(), "Two\nlines");
    EXPECT_EQ(open->text(), "Ouvrir");

    SetLanguagefile(german);
    TranslateProperty("setupform.OKBUTTON.text");
    EXPECT_EQ(ok->text(), "Gut");
}

TEST_F(WindowTranslationTest, ForgetsDestroyedObjects)
{
    SetLanguagefile(german);
    Translate(form.get());
    delete ok;
    // A new object (quite possibly at the same address) starts from its own English.
    auto *replacement = new QPushButton("Cancel", form.get());
    replacement->setObjectName("okButton");
    SetLanguagefile(french);
    SetLanguagefile(german);
    Translate(form.get());
    EXPECT_EQ(replacement->text(), "Abbrechen");
}

TEST(WindowProperties, PathsAndTypedProperties)
{
    QString path = " Form . button .text";
    EXPECT_FALSE(IsLastPart(path));
    EXPECT_EQ(GetFirstPart(path), "Form");
    EXPECT_EQ(GetFirstPart(path), "button");
    EXPECT_TRUE(IsLastPart(path));

    Lists lists;
    EXPECT_TRUE(HasProperty(&lists, "ITEMS"));
    EXPECT_FALSE(HasProperty(&lists, "caption"));
    SetProperty(&lists, "items", " one \\ntwo\\n");
    EXPECT_EQ(lists.items, (QStringList { "one", "two" }));
    EXPECT_EQ(GetProperty(&lists, "items"), "one\\ntwo");
    SetProperty(&lists, "count", " 42");
    EXPECT_EQ(lists.count, 42);
    EXPECT_EQ(FindComponent(nullptr, "no such window"), nullptr);
}

#include "WindowTranslationTest.moc"
