#include "controls/CompletingComboBox.h"

#include "tests/controls/ControlsTestSupport.h"

#include <QLineEdit>
#include <QSignalSpy>

namespace {

struct Combo {
    explicit Combo(const QStringList &Items, bool Completion = true)
    {
        box.setEditable(true);
        box.addItems(Items);
        box.setCurrentIndex(-1);
        box.SetTextCompletion(Completion);
    }
    QString Selected() const { return box.lineEdit()->selectedText(); }
    TCompletingComboBox box;
};

} // namespace

TEST(CompletingComboBox, EachTypedLetterChoosesTheFirstItemBeginningWithTheText)
{
    Combo c({ "Rot", "Rotbraun", "Blau" });
    QSignalSpy changes(&c.box, &QComboBox::currentTextChanged);
    QTest::keyClicks(&c.box, "r");
    EXPECT_EQ(c.box.currentText(), "Rot");
    EXPECT_EQ(c.Selected(), "ot");
    EXPECT_EQ(c.box.currentIndex(), 0);
    QTest::keyClicks(&c.box, "otb");
    EXPECT_EQ(c.box.currentText(), "Rotbraun");
    EXPECT_EQ(c.Selected(), "raun");
    EXPECT_EQ(c.box.currentIndex(), 1);
    ASSERT_FALSE(changes.isEmpty());
    EXPECT_EQ(changes.last().at(0).toString(), "Rotbraun");

    // Backspace and Delete edit without completing again.
    QTest::keyClick(&c.box, Qt::Key_Backspace);
    EXPECT_EQ(c.box.currentText(), "Rotb");
    QTest::keyClick(&c.box, Qt::Key_Backspace);
    EXPECT_EQ(c.box.currentText(), "Rot");
    EXPECT_EQ(c.Selected(), "");

    // A text no item begins with stays as typed.
    c.box.clearEditText();
    QTest::keyClicks(&c.box, "Gr");
    EXPECT_EQ(c.box.currentText(), "Gr");
}

TEST(CompletingComboBox, ArrowKeysReachAnItemThatBeginsAnEarlierOne)
{
    Combo c({ "Rotbraun", "Rot" });
    c.box.setCurrentIndex(0);
    QTest::keyClick(&c.box, Qt::Key_Down);
    EXPECT_EQ(c.box.currentIndex(), 1);
    EXPECT_EQ(c.box.currentText(), "Rot");
}

TEST(CompletingComboBox, WithoutCompletionNothingIsAdded)
{
    Combo c({ "Rot", "Blau" }, false);
    QTest::keyClicks(&c.box, "r");
    EXPECT_EQ(c.box.currentText(), "r");
    // Enter keeps the caller's items as they are.
    QTest::keyClick(&c.box, Qt::Key_Return);
    EXPECT_EQ(c.box.count(), 2);
}
