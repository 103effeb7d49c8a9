#include "dialogs/setup/gui/EditTimeDialog.h"

#include "dialogs/misc/DialogParts.h"
#include "dialogs/setup/gui/SetupControls.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TEditTimeDialog::TEditTimeDialog(QWidget *parent)
    : QDialog(parent)
    , FEditBegin(Named<QLineEdit>(this, "EditBegin"))
    , FEditEnde(Named<QLineEdit>(this, "EditEnde"))
    , FButtonOK(Named<QPushButton>(this, "ButtonOK", Translate(QStringLiteral("OK"))))
{
    setObjectName(QStringLiteral("EditTimeDialog"));
    setWindowTitle(Translate(QStringLiteral("Edit working hours")));
    auto *grid = new QGridLayout;
    grid->addWidget(Named<QLabel>(this, "LabelBegin", Translate(QStringLiteral("Begin"))), 0, 0);
    grid->addWidget(FEditBegin, 0, 1);
    grid->addWidget(Named<QLabel>(this, "LabelEnde", Translate(QStringLiteral("End"))), 0, 2);
    grid->addWidget(FEditEnde, 0, 3);
    const char *breaks[] = { "1st work break", "2nd work break", "3rd work break" };
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i + 1);
        FPauseBegin[i] = Named<QLineEdit>(this, ("EditPauseBeginn" + n).c_str());
        FPauseLength[i] = Named<QLineEdit>(this, ("EditPauseDauer" + n).c_str());
        const int row = int(i) + 1;
        grid->addWidget(
            Named<QLabel>(this, ("LabelPause" + n).c_str(), Translate(QString::fromLatin1(breaks[i]))), row,
            0);
        grid->addWidget(FPauseBegin[i], row, 1);
        grid->addWidget(
            Named<QLabel>(this, ("LabelDauer" + n).c_str(), Translate(QStringLiteral("Length (min)"))), row,
            2);
        grid->addWidget(FPauseLength[i], row, 3);
    }
    auto *cancel = Named<QPushButton>(this, "ButtonCancel", Translate(QStringLiteral("Cancel")));
    FButtonOK->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(ButtonRow({ FButtonOK, cancel }));
    connect(FButtonOK, &QPushButton::clicked, this, [this] { OkClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<TDayInfo> TEditTimeDialog::Execute(const TDayInfo &day)
{
    FDay = day;
    const TDayTimesText text = DayTimesText(day);
    FEditBegin->setText(text.begin);
    FEditEnde->setText(text.end);
    for (std::size_t i = 0; i < 3; ++i) {
        FPauseBegin[i]->setText(text.pauseStart[i]);
        FPauseLength[i]->setText(text.pauseLength[i]);
    }
    FEditBegin->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return FDay;
}

void TEditTimeDialog::OkClick()
{
    TDayTimesText text { FEditBegin->text(), FEditEnde->text(), {}, {} };
    for (std::size_t i = 0; i < 3; ++i) {
        text.pauseStart[i] = FPauseBegin[i]->text();
        text.pauseLength[i] = FPauseLength[i]->text();
    }
    const TDayTimesResult result = ReadDayTimes(text, FDay);
    if (!result.day) {
        MessageDlg(result.error, mtError, { mbOK });
        return;
    }
    FDay = *result.day;
    accept();
}
