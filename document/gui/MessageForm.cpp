#include "document/gui/MessageForm.h"

#include "document/program/Translation.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <array>
#include <memory>

namespace {

struct ButtonKind {
    TMsgDlgBtn kind;
    const char *name;
    const char *caption;
};

// Left-to-right order of the buttons.
constexpr std::array<ButtonKind, 12> kButtons = { {
    { mbYes, "Yes", "Yes" },
    { mbNo, "No", "No" },
    { mbOK, "OK", "OK" },
    { mbCancel, "Cancel", "Cancel" },
    { mbAbort, "Abort", "Abort" },
    { mbRetry, "Retry", "Retry" },
    { mbIgnore, "Ignore", "Ignore" },
    { mbAll, "All", "All" },
    { mbNoToAll, "NoToAll", "No to all" },
    { mbYesToAll, "YesToAll", "Yes to all" },
    { mbHelp, "Help", "Help" },
    { mbClose, "Close", "Close" },
} };

const char *const kResultProperty = "modalResult";

QString titleOf(TMsgDlgType type)
{
    switch (type) {
    case mtWarning:
        return Translate(QStringLiteral("Warning"));
    case mtError:
        return Translate(QStringLiteral("Error"));
    case mtInformation:
        return Translate(QStringLiteral("Information"));
    case mtConfirmation:
        return Translate(QStringLiteral("Confirm"));
    case mtCustom:
        break;
    }
    return QGuiApplication::applicationDisplayName();
}

bool iconOf(TMsgDlgType type, QStyle::StandardPixmap &icon)
{
    switch (type) {
    case mtWarning:
        icon = QStyle::SP_MessageBoxWarning;
        return true;
    case mtError:
        icon = QStyle::SP_MessageBoxCritical;
        return true;
    case mtInformation:
        icon = QStyle::SP_MessageBoxInformation;
        return true;
    case mtConfirmation:
        icon = QStyle::SP_MessageBoxQuestion;
        return true;
    case mtCustom:
        break;
    }
    return false;
}

// Dialog units scale with the average character of the dialog's font.
QSize averageCharSize(const QFontMetrics &fm)
{
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return { fm.horizontalAdvance(letters) / 52, fm.height() };
}

QRect availableScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

} // namespace

TMessageForm::TMessageForm(const QString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, QWidget *Parent)
    : QDialog(Parent)
    , FMessage(Msg)
{
    setWindowTitle(titleOf(DlgType));
    setFont(QApplication::font("QMessageBox"));
    const QFontMetrics fm(font());
    const QSize units = averageCharSize(fm);
    const int horzMargin = 8 * units.width() / 4;
    const int vertMargin = 8 * units.height() / 8;
    const int horzSpacing = 10 * units.width() / 4;
    const int vertSpacing = 10 * units.height() / 8;
    const int buttonHeight = 14 * units.height() / 8;
    const int buttonSpacing = 4 * units.width() / 4;

    QList<ButtonKind> shown;
    int buttonWidth = 50 * units.width() / 4;
    for (const ButtonKind &b : kButtons) {
        if (!Buttons.contains(b.kind) || b.kind == mbHelp)
            continue;
        shown.append(b);
        buttonWidth
            = std::max(buttonWidth, fm.horizontalAdvance(Translate(QString::fromLatin1(b.caption))) + 8);
    }

    const QString shownText = DisplayText(Msg);
    const QRect text = fm.boundingRect(
        QRect(0, 0, availableScreen().width() / 2, 0), Qt::TextWordWrap | Qt::TextExpandTabs, shownText);
    QStyle::StandardPixmap iconKind {};
    const bool hasIcon = iconOf(DlgType, iconKind);
    int iconTextWidth = text.width();
    int iconTextHeight = text.height();
    if (hasIcon) {
        iconTextWidth += 32 + horzSpacing;
        iconTextHeight = std::max(iconTextHeight, 32);
    }
    const int count = int(shown.size());
    const int groupWidth = count ? buttonWidth * count + buttonSpacing * (count - 1) : 0;
    const int clientWidth = std::max(iconTextWidth, groupWidth) + horzMargin * 2;
    const int clientHeight = iconTextHeight + buttonHeight + vertSpacing + vertMargin * 2;
    setFixedSize(clientWidth, clientHeight);

    if (hasIcon) {
        auto *image = new QLabel(this);
        image->setObjectName(QStringLiteral("Image"));
        image->setPixmap(style()->standardIcon(iconKind, nullptr, this).pixmap(32, 32));
        image->setGeometry(horzMargin, vertMargin, 32, 32);
    }
    auto *message = new QLabel(shownText, this);
    message->setObjectName(QStringLiteral("Message"));
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    message->setGeometry(iconTextWidth - text.width() + horzMargin, vertMargin, text.width(), text.height());

    TMsgDlgBtn cancelKind {};
    const bool hasCancel = EscapeButtonOf(Buttons, cancelKind);
    const TMsgDlgBtn defaultKind = DefaultButtonOf(Buttons);
    int x = (clientWidth - groupWidth) / 2;
    for (const ButtonKind &b : shown) {
        auto *button = new QPushButton(Translate(QString::fromLatin1(b.caption)), this);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setProperty(kResultProperty, ModalResultOf(b.kind));
        button->setGeometry(x, iconTextHeight + vertMargin + vertSpacing, buttonWidth, buttonHeight);
        x += buttonWidth + buttonSpacing;
        const int result = ModalResultOf(b.kind);
        connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
        if (b.kind == defaultKind) {
            button->setDefault(true);
            FDefault = button;
        }
        if (hasCancel && b.kind == cancelKind)
            FCancel = button;
        FButtons.append(button);
    }
    if (FDefault)
        FDefault->setFocus();
}

QPushButton *TMessageForm::Button(TMsgDlgBtn Kind) const
{
    for (QPushButton *button : FButtons) {
        if (button->property(kResultProperty).toInt() == ModalResultOf(Kind))
            return button;
    }
    return nullptr;
}

QString TMessageForm::GetFormText() const
{
    const QString dashes = QString(27, QLatin1Char('-'));
    const QString eol = QStringLiteral("\r\n");
    QString buttons;
    for (const QPushButton *button : FButtons)
        buttons += button->text().remove(QLatin1Char('&')) + QStringLiteral("   ");
    return dashes + eol + windowTitle() + eol + dashes + eol + FMessage + eol + dashes + eol + buttons + eol
        + dashes + eol;
}

void TMessageForm::reject()
{
    // Closing the window answers like a cancel.
    done(mrCancel);
}

void TMessageForm::keyPressEvent(QKeyEvent *Event)
{
    if (Event->key() == Qt::Key_Escape && Event->modifiers() == Qt::NoModifier) {
        if (FCancel)
            FCancel->click();
        Event->accept();
        return;
    }
    if (Event->key() == Qt::Key_C && Event->modifiers() == Qt::ControlModifier) {
        QApplication::beep();
        if (QClipboard *clipboard = QGuiApplication::clipboard())
            clipboard->setText(GetFormText());
        Event->accept();
        return;
    }
    QDialog::keyPressEvent(Event);
}

TMessageForm *CreateMessageDialog(const QString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons)
{
    return new TMessageForm(Msg, DlgType, Buttons);
}

int TMessageFormDialogs::MessageDlgPosHelp(
    const QString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int, int X, int Y, const QString &)
{
    std::unique_ptr<TMessageForm> form(CreateMessageDialog(Msg, DlgType, Buttons));
    form->setWindowTitle(Translate(form->windowTitle()));
    const QRect screen = availableScreen();
    QPoint at = screen.center() - QPoint(form->width() / 2, form->height() / 2);
    if (X >= 0)
        at.setX(X);
    if (Y >= 0)
        at.setY(Y);
    form->move(at);
    return form->exec();
}
