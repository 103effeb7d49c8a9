// The setup dialogs refuse on OK what could never work, with a message naming
// the field, stay open and leave the document as it was: a day its month does
// not have, a holiday, resource, column or group without a name, a group name
// or an absence reason used twice.
#include "dialogs/setup/gui/DefineHolidayDialog.h"
#include "dialogs/setup/gui/EditTableColumnDialog.h"
#include "dialogs/setup/gui/OrganizePositionsDialog.h"
#include "dialogs/setup/gui/SetupAbsentDaysDialog.h"
#include "dialogs/setup/gui/SetupPositionsDialog.h"
#include "dialogs/setup/gui/SetupTableDialog.h"
#include "tests/dialogs/setup/gui/SetupDialogTestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>

using namespace setupgui;
using testsupport::WhenModal;

namespace {

class RefusalsTest : public SetupDialogTest {
protected:
    QString LastMessage() const
    {
        return messages.Questions().isEmpty() ? QString() : messages.Questions().back().Msg;
    }
    static void Clear(QWidget *edit)
    {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
    }
};

} // namespace

TEST_F(RefusalsTest, AHolidayOnADayItsMonthLacksOrWithoutANameIsRefused)
{
    TDefineHolidayDialog &dialog = dialogs.DefineHolidayDialog();
    Show<TDefineHolidayDialog>(dialog, [this](TDefineHolidayDialog *d) {
        Click(d->Button("Button4")); // "new Holiday" on 1 January
        const auto setDate = [d](int day, int month) {
            d->Edit2()->selectAll();
            QTest::keyClicks(d->Edit2(), QString::number(day));
            d->ComboBox2()->setFocus();
            QTest::keyClick(d->ComboBox2(), Qt::Key_Home);
            for (int m = 1; m < month; ++m)
                QTest::keyClick(d->ComboBox2(), Qt::Key_Down);
        };
        for (const auto &[day, month, name] :
            { std::tuple { 31, 2, "February" }, std::tuple { 30, 2, "February" },
                std::tuple { 31, 4, "April" }, std::tuple { 31, 11, "November" } }) {
            setDate(day, month);
            Click(d->Button("Button1"));
            EXPECT_TRUE(d->isVisible()) << day << ". " << name;
            EXPECT_EQ(LastMessage(),
                QString("Date: %1 has no day %2 (holiday \"new Holiday\").").arg(name).arg(day));
            EXPECT_TRUE(doc->Setup().FHolidayList.empty());
        }
        // 29 February is a day of leap years; a name of blanks is none.
        setDate(29, 2);
        d->Edit3()->selectAll();
        QTest::keyClicks(d->Edit3(), "  ");
        Click(d->Button("Button1"));
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(LastMessage(), "Name: every holiday needs a name.");
        d->Edit3()->selectAll();
        QTest::keyClicks(d->Edit3(), "Schalttag");
        Click(d->Button("Button1"));
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(messages.Questions().size(), 5);
    ASSERT_EQ(doc->Setup().FHolidayList.size(), 1u);
    EXPECT_EQ(doc->Setup().FHolidayList[0], THolidayData({ "Schalttag", 29, 2, false, false }));
}

TEST_F(RefusalsTest, AResourceAColumnAndAGroupNeedNamesAndGroupNamesDiffer)
{
    const QStringList items = positions();
    Show<TSetupPositionsDialog>(dialogs.SetupPositionsDialog(), [this](TSetupPositionsDialog *d) {
        ClickRow(*d->ListView1(), 1);
        Clear(d->Memo1());
        Click(d->Button3());
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(
            LastMessage(), "Complete Description of Resource: every resource needs a name (its first line).");
        d->reject();
    });
    EXPECT_EQ(positions(), items);

    Show<TSetupTableDialog>(dialogs.SetupTableDialog(), [this](TSetupTableDialog *d) {
        bool refused = false;
        WhenModal<TEditTableColumnDialog>([&](TEditTableColumnDialog *c) {
            Clear(c->Edit1());
            Click(c->ButtonOK());
            refused = c->isVisible();
            c->reject();
        });
        DoubleClickRow(*d->ListView1(), 5); // Comment
        EXPECT_TRUE(refused);
        EXPECT_EQ(LastMessage(), "Name: every column needs a name.");
        EXPECT_EQ(d->ListView1()->topLevelItem(5)->text(0), "Comment");
        Click(d->Button1());
    });
    EXPECT_EQ(doc->GetColumnCaption(tbTable, 5), "Comment");

    const QStringList groupsBefore = doc->Setup().FPositionGroupNames;
    Show<TOrganizePositionsDialog>(
        dialogs.OrganizePositionsDialog(), [this, &groupsBefore](TOrganizePositionsDialog *d) {
            Click(d->SpeedButton1());
            Click(d->SpeedButton1()); // two groups named "new Group"
            Click(d->Button1());
            EXPECT_TRUE(d->isVisible());
            EXPECT_EQ(LastMessage(), "Name of Group: \"new Group\" names two groups.");
            EXPECT_EQ(d->PageControl1()->currentIndex(), 2);
            Clear(d->NameEdit(2));
            Click(d->Button1());
            EXPECT_TRUE(d->isVisible());
            EXPECT_EQ(LastMessage(), "Name of Group: every group needs a name.");
            // Nor may a group take the summary's name.
            QTest::keyClicks(d->NameEdit(2), "gesamtansicht");
            Click(d->Button1());
            EXPECT_TRUE(d->isVisible());
            EXPECT_EQ(doc->Setup().FPositionGroupNames, groupsBefore);
            Clear(d->NameEdit(2));
            QTest::keyClicks(d->NameEdit(2), "Saws");
            Click(d->Button1());
            EXPECT_FALSE(d->isVisible());
        });
    EXPECT_EQ(doc->Setup().FPositionGroupNames.mid(1), QStringList({ "new Group", "Saws" }));
}

TEST_F(RefusalsTest, AnAbsenceReasonListedTwiceIsRefused)
{
    Show<TSetupAbsentDaysDialog>(dialogs.SetupAbsentDaysDialog(), [this](TSetupAbsentDaysDialog *d) {
        d->Memo1()->selectAll();
        TypeLines(d->Memo1(), { "Holiday", "", "Sick", "", "holiday " });
        Click(d->Button1());
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(LastMessage(), "Absent reasons: \"holiday\" is listed twice.");
        d->Memo1()->selectAll();
        TypeLines(d->Memo1(), { "Holiday", "", "Sick", "", "Training" });
        Click(d->Button1());
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(messages.Questions().size(), 1);
    EXPECT_EQ(ItemValues(doc->GetColumnStrings(tbExclude, doc->GetConnection(tbExclude, cnColor))),
        QStringList({ "Holiday", "Sick", "Training" }));
}
