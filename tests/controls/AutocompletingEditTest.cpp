#include "controls/AutocompletingEdit.h"

#include "tests/controls/ControlsTestSupport.h"

#include <QSignalSpy>
#include <QVBoxLayout>

namespace {

class AutocompletingEdit : public controlstest::GermanLocale { };

} // namespace

TEST_F(AutocompletingEdit, CompletesTheTypedStartAndTypingOnReplacesTheRest)
{
    TAutocompletingEdit edit;
    edit.SetItems({ "Banana", "Apple" });
    QTest::keyClicks(&edit, "Ba");
    EXPECT_EQ(edit.text(), "Banana");
    EXPECT_EQ(edit.selectedText(), "nana");
    EXPECT_EQ(edit.ItemIndex(), 1);
    QTest::keyClicks(&edit, "x");
    EXPECT_EQ(edit.text(), "Bax");
    EXPECT_FALSE(edit.AutoCompleted());

    // A text that begins no item stays as typed; so does all text without completion.
    edit.clear();
    QTest::keyClicks(&edit, "Cherry");
    EXPECT_EQ(edit.text(), "Cherry");
    edit.clear();
    edit.SetAutoComplete(false);
    QTest::keyClicks(&edit, "B");
    EXPECT_EQ(edit.text(), "B");
}

TEST_F(AutocompletingEdit, CaseCountsAndTheListIsSortedWithoutDuplicates)
{
    TAutocompletingEdit edit;
    edit.SetItems({ "Banana", "apple", "banana", "Apple", "apple" });
    // German collation puts small letters first.
    EXPECT_EQ(edit.Items(), QStringList({ "apple", "Apple", "banana", "Banana" }));
    EXPECT_EQ(edit.AddItem("Cherry"), 4);
    EXPECT_EQ(edit.AddItem("Apple"), 1);
    EXPECT_EQ(edit.Items().size(), 5);

    const std::pair<QString, QString> cases[] = { { "B", "Banana" }, { "b", "banana" }, { "A", "Apple" } };
    for (const auto &[typed, completed] : cases) {
        edit.clear();
        QTest::keyClicks(&edit, typed);
        EXPECT_EQ(edit.text(), completed);
    }
}

TEST_F(AutocompletingEdit, LimitToListKeepsTheTextAListItem)
{
    TAutocompletingEdit edit;
    edit.SetItems({ "Apple", "Banana", "Bandit" });
    edit.SetLimitToList(true);

    QTest::keyClicks(&edit, "Ban");
    EXPECT_EQ(edit.selectedText(), "ana");
    // Backspace drops the completion and steps back one more letter, selected.
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "Ban");
    EXPECT_EQ(edit.selectedText(), "n");
    QTest::keyClicks(&edit, "nd");
    EXPECT_EQ(edit.text(), "Bandit");
    EXPECT_EQ(edit.selectedText(), "it");

    // Keys that type nothing keep their usual meaning.
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(edit.selectedText(), "Bandit");
    // Backspace at the start selects everything from there.
    edit.setCursorPosition(0);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.selectedText(), "Bandit");

    // A letter that begins no item leaves only the empty text; so does such a text set.
    edit.setCursorPosition(3);
    QTest::keyClicks(&edit, "q");
    EXPECT_EQ(edit.text(), "");
    EXPECT_EQ(edit.ItemIndex(), -1);
    edit.SetText("App");
    EXPECT_EQ(edit.text(), "Apple");
    EXPECT_EQ(edit.selectedText(), "le");
    edit.SetText("Cherry");
    EXPECT_EQ(edit.text(), "");
    edit.SetItemIndex(7);
    EXPECT_EQ(edit.ItemIndex(), -1);
}

TEST_F(AutocompletingEdit, LeavingACompletedTextFiresOneMoreChange)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *edit = new TAutocompletingEdit;
    auto *next = new QLineEdit;
    layout->addWidget(edit);
    layout->addWidget(next);
    edit->SetItems({ "Apple", "Banana" });
    ASSERT_TRUE(controlstest::ShowActive(window));
    edit->setFocus();

    QSignalSpy changes(edit, &TAutocompletingEdit::Change);
    QTest::keyClicks(edit, "Ba");
    const int typed = changes.count();
    QTest::keyClick(edit, Qt::Key_Tab);
    ASSERT_TRUE(next->hasFocus());
    EXPECT_EQ(changes.count(), typed + 1);

    // Leaving again without typing, or after a text the list did not complete,
    // changes nothing more.
    edit->setFocus();
    next->setFocus();
    EXPECT_EQ(changes.count(), typed + 1);
    edit->setFocus();
    QTest::keyClicks(edit, "Kiwi");
    const int plain = changes.count();
    next->setFocus();
    EXPECT_EQ(changes.count(), plain);
}

TEST_F(AutocompletingEdit, AListFromASourceIsReadOnceWhenFirstNeededAndReplacedByAnyOther)
{
    TAutocompletingEdit edit;
    int reads = 0;
    edit.SetItemsSource([&] {
        ++reads;
        return QStringList { "Banana", "Apple", "Banana" };
    });
    edit.setText("x");
    EXPECT_EQ(reads, 0);
    edit.clear();
    QTest::keyClicks(&edit, "Ba");
    EXPECT_EQ(edit.text(), "Banana");
    EXPECT_EQ(edit.AddItem("Cherry"), 2);
    EXPECT_EQ(edit.Items(), QStringList({ "Apple", "Banana", "Cherry" }));
    EXPECT_EQ(reads, 1);

    // An item added before the first read joins the source's items.
    edit.SetItemsSource([&] {
        ++reads;
        return QStringList { "Plum" };
    });
    edit.AddItem("Fig");
    EXPECT_EQ(edit.Items(), QStringList({ "Fig", "Plum" }));
    // A list set, or the box cleared, before the read drops the source.
    edit.SetItemsSource([&] {
        ++reads;
        return QStringList { "Kiwi" };
    });
    edit.SetItems({ "Lime" });
    EXPECT_EQ(edit.Items(), QStringList({ "Lime" }));
    edit.SetItemsSource([&] {
        ++reads;
        return QStringList { "Kiwi" };
    });
    edit.Clear();
    EXPECT_TRUE(edit.Items().isEmpty());
    EXPECT_EQ(reads, 2);
}
