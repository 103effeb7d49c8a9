#include "dialogs/misc/ArchivDialog.h"

#include "controls/DateTimePopup.h"
#include "dialogs/misc/Archive.h"
#include "dialogs/misc/DialogParts.h"
#include "dialogs/print/DialogControls.h"
#include "document/Document.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TArchivDialog::TArchivDialog(Document &doc, QWidget *parent)
    : QDialog(parent)
    , FDoc(doc)
    , FCutOff(DatePicker(this, "DateTimePicker1"))
    , FFrom(DatePicker(this, "DateTimePickerFrom"))
    , FTo(DatePicker(this, "DateTimePickerTo"))
    , FEdit1(new QLineEdit(this))
    , FButton1(NamedButton(this, "Button1", "OK"))
{
    setObjectName(QStringLiteral("ArchivDialog"));
    setWindowTitle(QStringLiteral("Archiv Table"));
    FFrom->setEnabled(false);
    FTo->setEnabled(false);
    FEdit1->setObjectName(QStringLiteral("Edit1"));
    FEdit1->setEnabled(false);
    FCutOff->setDate(ToQDate(Today()));
    QPushButton *cancel = NamedButton(this, "Button2", "Cancel");
    FButton1->setDefault(true);

    auto *grid = new QGridLayout;
    grid->addWidget(NamedLabel(this, "Label1", "all Tasks before "), 0, 0);
    grid->addWidget(FCutOff, 0, 1);
    grid->addWidget(NamedLabel(this, "Label2", "archiv."), 0, 2);
    grid->addWidget(NamedLabel(this, "Label3", "Tasks available from"), 1, 0);
    grid->addWidget(FFrom, 1, 1);
    grid->addWidget(NamedLabel(this, "Label4", "till"), 1, 2);
    grid->addWidget(FTo, 1, 3);
    grid->addWidget(NamedLabel(this, "Label5", "No. of selected Tasks: "), 2, 0);
    grid->addWidget(FEdit1, 2, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(ButtonRow({ FButton1, cancel }));

    connect(FCutOff, &QDateEdit::dateChanged, this, &TArchivDialog::DateTimePicker1Change);
    connect(FButton1, &QPushButton::clicked, this, &TArchivDialog::Button1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    DateTimePicker1Change();
}

void TArchivDialog::SetRange(TDateTime from, TDateTime to)
{
    FFrom->setDate(ToQDate(from));
    FTo->setDate(ToQDate(to));
    DateTimePicker1Change();
}

void TArchivDialog::SetDocumentFile(const QString &fileName, bool compressed)
{
    FFileName = fileName;
    FCompressed = compressed;
}

void TArchivDialog::CB_Count(TNodeData &row)
{
    ++FTotalCount;
    if (ArchiveQualifies(FDoc, row, FromQDate(FCutOff->date())))
        ++FCount;
}

void TArchivDialog::DateTimePicker1Change()
{
    FCount = 0;
    FTotalCount = 0;
    FDoc.ForEach(tbTable, feAll, [this](TNodeData &row) { CB_Count(row); });
    FEdit1->setText(
        Translate(QStringLiteral("%s von %s"), { QString::number(FCount), QString::number(FTotalCount) }));
    FButton1->setEnabled(FCount >= 1);
}

void TArchivDialog::Button1Click()
{
    DateTimePicker1Change();
    if (FCount == FTotalCount
        && MessageDlg(Translate(QStringLiteral("Alle %s Einträge archivieren?"), { QString::number(FCount) }),
               mtConfirmation, { mbOK, mbCancel })
            != mrOk)
        return;
    if (!FOnSave || !FOnSave()) {
        MessageDlg(
            Translate(QStringLiteral("File could not be saved. The selected tasks were not archieved.")),
            mtConfirmation, { mbOK, mbCancel });
        return;
    }
    const TArchiveResult result
        = ArchiveTasks(FDoc, FromQDate(FCutOff->date()), ArchiveFileName(FFileName), FCompressed);
    if (!result.Ok) {
        MessageDlg(Translate(QStringLiteral("The archive %s could not be written; no task was archived."),
                       { ArchiveFileName(FFileName) })
                + QLatin1Char('\n') + result.Error,
            mtError, { mbOK });
        return;
    }
    if (result.Kept > 0)
        MessageDlg(
            Translate(QStringLiteral("%s tasks hold line breaks an archive cannot keep; they stay in the "
                                     "table."),
                { QString::number(result.Kept) }),
            mtInformation, { mbOK });
    accept();
}
