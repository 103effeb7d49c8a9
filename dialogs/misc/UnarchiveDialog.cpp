#include "dialogs/misc/UnarchiveDialog.h"

#include "controls/DateTimePopup.h"
#include "dialogs/misc/DialogParts.h"
#include "dialogs/print/DialogControls.h"
#include "document/Document.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TUnarchiveDialog::TUnarchiveDialog(Document &doc, QWidget *parent)
    : QDialog(parent)
    , FDoc(doc)
    , FList(new QTreeWidget(this))
    , FAll(new QRadioButton(QStringLiteral("all entries"), this))
    , FSince(new QRadioButton(QStringLiteral("entries archived on or after"), this))
    , FSinceDay(DatePicker(this, "DateTimePicker1"))
    , FCountLabel(new QLabel(this))
    , FButton1(NamedButton(this, "Button1", "OK"))
{
    setObjectName(QStringLiteral("UnarchiveDialog"));
    setWindowTitle(QStringLiteral("Restore from Archive"));
    resize(640, 400);
    FList->setObjectName(QStringLiteral("ListView1"));
    FList->setRootIsDecorated(false);
    FList->setSelectionMode(QAbstractItemView::NoSelection);
    FAll->setObjectName(QStringLiteral("RadioButton1"));
    FSince->setObjectName(QStringLiteral("RadioButton2"));
    FAll->setChecked(true);
    FSinceDay->setDate(ToQDate(Today()));
    QPushButton *cancel = NamedButton(this, "Button2", "Cancel");
    FButton1->setDefault(true);

    auto *choice = new QGridLayout;
    choice->addWidget(FAll, 0, 0);
    choice->addWidget(FSince, 1, 0);
    choice->addWidget(FSinceDay, 1, 1);
    choice->setColumnStretch(2, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(NamedLabel(this, "Label2", "The archive holds:"));
    layout->addWidget(FList, 1);
    layout->addWidget(NamedLabel(this, "Label3", "Bring back"));
    layout->addLayout(choice);
    layout->addWidget(FCountLabel);
    layout->addLayout(ButtonRow({ FButton1, cancel }));

    connect(FAll, &QRadioButton::toggled, this, &TUnarchiveDialog::ChoiceChange);
    connect(FSinceDay, &QDateEdit::dateChanged, this, [this] {
        FSince->setChecked(true);
        ChoiceChange();
    });
    connect(FButton1, &QPushButton::clicked, this, &TUnarchiveDialog::Button1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    ChoiceChange();
}

bool TUnarchiveDialog::SetDocumentFile(const QString &fileName, bool compressed)
{
    FArchive = ArchiveFileName(fileName);
    FCompressed = compressed;
    FContents = ReadArchive(FArchive);
    FList->clear();
    FList->setHeaderLabels({ Translate(QStringLiteral("Table")), Translate(QStringLiteral("Archived")),
        Translate(QStringLiteral("Entry")) });
    if (!FContents.Ok) {
        MessageDlg(
            Translate(QStringLiteral("The archive %s is damaged and cannot be read; nothing was changed."),
                { FArchive })
                + QLatin1Char('\n') + FContents.Error,
            mtError, { mbOK });
        FContents.Entries.clear();
        ChoiceChange();
        return false;
    }
    for (const TArchivedEntry &entry : FContents.Entries) {
        auto *item = new QTreeWidgetItem(FList);
        item->setText(
            0, Translate(entry.Table == tbTable ? QStringLiteral("Tasks") : QStringLiteral("Absent Days")));
        item->setText(1, entry.Archived > 0 ? DateToStr(entry.Archived) : QString());
        QStringList cells;
        for (const QString &text : entry.Texts) {
            if (!text.isEmpty())
                cells << text;
        }
        item->setText(2, cells.join(QStringLiteral(" | ")));
    }
    FList->header()->resizeSections(QHeaderView::ResizeToContents);
    ChoiceChange();
    return true;
}

std::vector<TArchivedEntry> TUnarchiveDialog::Chosen() const
{
    std::vector<TArchivedEntry> chosen;
    const TDateTime since = FromQDate(FSinceDay->date());
    for (const TArchivedEntry &entry : FContents.Entries) {
        // A row archived before the archive kept the time has no day to compare.
        if (FAll->isChecked() || (entry.Archived > 0 && DatePart(entry.Archived) >= DatePart(since)))
            chosen.push_back(entry);
    }
    return chosen;
}

void TUnarchiveDialog::ChoiceChange()
{
    const qsizetype count = qsizetype(Chosen().size());
    FCountLabel->setText(Translate(QStringLiteral("Entries to bring back: %s of %s"),
        { QString::number(count), QString::number(FContents.Entries.size()) }));
    FButton1->setEnabled(count > 0);
}

void TUnarchiveDialog::Button1Click()
{
    const TRestoreResult result = RestoreEntries(FDoc, Chosen(), FArchive, FCompressed, FStore);
    if (result.Restored > 0 && !result.Ok)
        MessageDlg(
            Translate(QStringLiteral("The archive %s could not be written: the entries brought back are "
                                     "still in it too."),
                { FArchive })
                + QLatin1Char('\n') + result.Error,
            mtWarning, { mbOK });
    else if (!result.Ok) {
        MessageDlg(
            Translate(QStringLiteral("The archive %s cannot be read; nothing was changed."), { FArchive })
                + QLatin1Char('\n') + result.Error,
            mtError, { mbOK });
        return;
    }
    if (result.Kept > 0)
        MessageDlg(
            Translate(QStringLiteral("%s entries have columns their table no longer has; they stay in the "
                                     "archive."),
                { QString::number(result.Kept) }),
            mtInformation, { mbOK });
    accept();
}
