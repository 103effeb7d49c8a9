#include "dialogs/print/PrintListDialog.h"

#include "dialogs/print/ColumnCheckList.h"
#include "dialogs/print/DialogControls.h"
#include "dialogs/print/FontFit.h"
#include "dialogs/print/PreviewForm.h"
#include "dialogs/print/PrintOptionsBox.h"
#include "document/Document.h"
#include "document/program/MessageDialog.h"
#include "tables/TableCells.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TPrintListDialog::TPrintListDialog(Document &doc, IPrinterDevice &printer, QWidget *parent)
    : QDialog(parent)
    , FDoc(doc)
    , FPreview(printer, this)
    , FRadioButton1(NamedRadio(this, "RadioButton1", QStringLiteral("all Tasks")))
    , FRadioButton2(NamedRadio(this, "RadioButton2", QStringLiteral("filtered Tasks")))
    , FRadioButton3(NamedRadio(this, "RadioButton3", QStringLiteral("selected Tasks")))
    , FEditCount(new QLineEdit(this))
    , FColumns(new TColumnCheckList(this))
    , FOptions(new TPrintOptionsBox(this))
    , FButtonSetup(NamedPushButton(this, "ButtonSetup", QStringLiteral("Printer setup...")))
    , FButtonOK(NamedPushButton(this, "ButtonOK", QStringLiteral("OK")))
{
    setObjectName(QStringLiteral("PrintListDialog"));
    setWindowTitle(QStringLiteral("Print Table"));
    FRadioButton1->setChecked(true);
    FEditCount->setObjectName(QStringLiteral("EditCount"));
    FEditCount->setReadOnly(true);
    FColumns->setObjectName(QStringLiteral("StringGridTree1"));
    QPushButton *cancel = NamedPushButton(this, "ButtonCancel", QStringLiteral("Cancel"));
    FButtonOK->setDefault(true);

    auto *rows = new QVBoxLayout;
    rows->addWidget(FRadioButton1);
    rows->addWidget(FRadioButton2);
    rows->addWidget(FRadioButton3);
    auto *count = new QHBoxLayout;
    count->addWidget(new QLabel(QStringLiteral("No. of tasks "), this));
    count->addWidget(FEditCount);
    rows->addLayout(count);
    rows->addStretch();
    auto *columns = new QVBoxLayout;
    columns->addWidget(new QLabel(QStringLiteral("Columns to print"), this));
    columns->addWidget(FColumns, 1);
    auto *top = new QHBoxLayout;
    top->addLayout(rows);
    top->addLayout(columns, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(FOptions);
    layout->addLayout(DialogButtonRow(FButtonSetup, { FButtonOK, cancel }));
    resize(480, 400);
    GrowWithFont(*this, size());

    OnChoice(this, { FRadioButton1, FRadioButton2, FRadioButton3 }, [this] { UpdateCount(); });
    connect(FButtonOK, &QPushButton::clicked, this, &TPrintListDialog::ButtonOKClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(FButtonSetup, &QPushButton::clicked, this, [this] {
        if (FOnPrinterSetup)
            FOnPrinterSetup(this);
    });
}

TPrintListDialog::~TPrintListDialog() = default;

void TPrintListDialog::LoadSettings(const TDocumentSettings &settings)
{
    FOptions->LoadSettings(settings);
}

void TPrintListDialog::StoreSettings(TDocumentSettings &settings) const
{
    FOptions->StoreSettings(settings);
}

void TPrintListDialog::showEvent(QShowEvent *event)
{
    FormActivate();
    QDialog::showEvent(event);
}

void TPrintListDialog::FormActivate()
{
    const TWhichTable table = FDoc.GetActiveTable();
    QStringList captions;
    for (int c = 0; c < FDoc.GetTableColCount(table); ++c)
        captions << FDoc.GetColumnCaption(table, c);
    FColumns->Fill(captions, true);
    UpdateCount();
}

TRowChoice TPrintListDialog::Choice() const
{
    return FRadioButton2->isChecked() ? TRowChoice::Filtered
        : FRadioButton3->isChecked()  ? TRowChoice::Selected
                                      : TRowChoice::All;
}

void TPrintListDialog::UpdateCount()
{
    const TWhichTable table = FDoc.GetActiveTable();
    int count = 0;
    switch (Choice()) {
    case TRowChoice::All:
        count = FDoc.GroupCount(table);
        break;
    case TRowChoice::Filtered:
        count = FDoc.FilteredCount(table);
        break;
    case TRowChoice::Selected:
        count = FDoc.SelectedCount(table);
        break;
    }
    FEditCount->setText(QString::number(count));
    FButtonOK->setEnabled(count > 0);
}

void TPrintListDialog::CB_Add(const TNodeData &row)
{
    std::vector<QString> cells;
    cells.reserve(std::size_t(FGrid.ColCount()));
    for (int c = 0; c < FGrid.ColCount(); ++c)
        cells.push_back(GetCellText(FDoc, row, c));
    FGrid.AddRow(std::move(cells));
}

void TPrintListDialog::ButtonOKClick()
{
    FOptions->StartJob(FPreview, FFileName);

    const TWhichTable table = FDoc.GetActiveTable();
    FGrid = TStringGrid();
    FGrid.SetColCount(FDoc.GetTableColCount(table));
    FGrid.SetRowCount(1);
    for (int c = 0; c < FGrid.ColCount(); ++c) {
        FGrid.SetCell(c, 0, FDoc.GetColumnCaption(table, c));
        FGrid.SetColWidth(c, FColumns->Checked(c) ? 1 : 0);
    }
    ForEachCovered(FDoc, table, Choice(), [this](TNodeData &row) { CB_Add(row); });

    FPreview.PrintStringGrid(FGrid, QString(), 0, 1, FGrid.RowCount() - 1, true);
    FPreview.PrintHeaderAndFooter();
    if (FPreview.Preview() != mrCancel)
        accept();
}
