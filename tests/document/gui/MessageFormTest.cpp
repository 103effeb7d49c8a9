#include "document/gui/MessageForm.h"

#include "document/program/Translation.h"
#include "tests/support/TestFiles.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

void pressKey(QWidget *target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &press);
}

struct EscapeOutcome {
    bool closed;
    int result;
};

// Shows the dialog without blocking and presses Escape on its focused button.
EscapeOutcome pressEscape(TMsgDlgButtons buttons)
{
    std::unique_ptr<TMessageForm> form(CreateMessageDialog("Question?", mtConfirmation, buttons));
    form->show();
    QWidget *focus = form->focusWidget() ? form->focusWidget() : form.get();
    pressKey(focus, Qt::Key_Escape);
    return { !form->isVisible(), form->result() };
}

const QString kDashes(27, '-');

} // namespace

TEST(MessageForm, EscapePressesTheCancelButton)
{
    EscapeOutcome o = pressEscape({ mbYes, mbNo, mbCancel });
    EXPECT_TRUE(o.closed);
    EXPECT_EQ(o.result, mrCancel);
    o = pressEscape({ mbOK });
    EXPECT_TRUE(o.closed);
    EXPECT_EQ(o.result, mrOk);
    o = pressEscape({ mbYes, mbNo });
    EXPECT_EQ(o.result, mrNo);
    o = pressEscape({ mbAbort, mbRetry, mbIgnore });
    EXPECT_FALSE(o.closed); // no cancel button: Escape does nothing
}

TEST(MessageForm, ButtonsInOrderWithDefaultAndNoHelp)
{
    std::unique_ptr<TMessageForm> form(
        CreateMessageDialog("m", mtWarning, { mbClose, mbHelp, mbCancel, mbYes }));
    EXPECT_EQ(form->Button(mbHelp), nullptr);
    QPushButton *yes = form->Button(mbYes);
    QPushButton *cancel = form->Button(mbCancel);
    QPushButton *close = form->Button(mbClose);
    ASSERT_TRUE(yes && cancel && close);
    EXPECT_EQ(yes->objectName(), "Yes");
    EXPECT_LT(yes->x(), cancel->x());
    EXPECT_LT(cancel->x(), close->x());
    EXPECT_EQ(yes->width(), close->width());
    EXPECT_EQ(form->DefaultButton(), yes);
    EXPECT_EQ(form->CancelButton(), cancel);
    EXPECT_EQ(form->windowTitle(), "Warning");
    close->click();
    EXPECT_EQ(form->result(), mrClose);
}

TEST(MessageForm, CtrlCCopiesTheDialogText)
{
    QTemporaryDir dir;
    const QString lng = dir.filePath("de.lng");
    ASSERT_TRUE(testsupport::writeFile(lng, "[translated]\r\nConfirm=Best\xe4tigen\r\nYes=&Ja\r\n"));
    SetLanguagefile(lng);

    std::unique_ptr<TMessageForm> form(
        CreateMessageDialog("Delete\rall?", mtConfirmation, { mbNo, mbYes, mbHelp }));
    form->show();
    pressKey(form->focusWidget(), Qt::Key_C, Qt::ControlModifier);
    const QString expected = kDashes + "\r\nBest\u00e4tigen\r\n" + kDashes + "\r\nDelete\rall?\r\n" + kDashes
        + "\r\nJa   No   \r\n" + kDashes + "\r\n";
    EXPECT_EQ(QGuiApplication::clipboard()->text(), expected);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->Button(mbYes)->text(), "&Ja");
    CloseFile();
}

TEST(MessageForm, ModalDialogReturnsThePressedButton)
{
    TMessageFormDialogs dialogs;
    ScopedMessageDialogs installed(&dialogs);
    QTimer::singleShot(0, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            pressKey(modal, Qt::Key_Escape);
    });
    EXPECT_EQ(MessageDlg("Save?", mtConfirmation, { mbYes, mbNo, mbCancel }), mrCancel);
    QTimer::singleShot(0, [] {
        if (auto *form = qobject_cast<TMessageForm *>(QApplication::activeModalWidget()))
            form->Button(mbYes)->click();
    });
    EXPECT_EQ(MessageDlgPosHelp("Save?", mtCustom, { mbYes, mbNo }, 0, 10, 20, QString()), mrYes);
}

// Code running without a window never blocks and never takes the affirmative path
// unasked.
TEST(MessageDialogs, WithoutADialogEveryQuestionIsAnsweredAsEscapeWould)
{
    EXPECT_EQ(MessageDlg("q", mtConfirmation, { mbYes, mbNo }), mrNo);
    EXPECT_EQ(MessageDlg("q", mtConfirmation, { mbYes }), mrCancel);
}
