#include "dialogs/print/PrintOptionsBox.h"

#include "dialogs/print/DefaultHeaderAndFooter.h"
#include "dialogs/print/PrintJob.h"
#include "document/program/Settings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>

namespace {

QCheckBox *Check(QWidget *parent, const char *name, const QString &text)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QLineEdit *Edit(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

} // namespace

TPrintOptionsBox::TPrintOptionsBox(QWidget *parent)
    : QWidget(parent)
    , FHeader(Check(this, "Header", QStringLiteral("Print Header:")))
    , FHeaderText(Edit(this, "HeaderText"))
    , FFusszeile(Check(this, "Fusszeile", QStringLiteral("Print Footer:")))
    , FTagline(Edit(this, "Tagline"))
    , FPrintFilename(Check(this, "PrintFilename", QStringLiteral("Print Filename")))
    , FLochrand(Check(this, "Lochrand", QStringLiteral("leave border")))
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(FHeader, 0, 0);
    grid->addWidget(FHeaderText, 0, 1);
    grid->addWidget(FFusszeile, 1, 0);
    grid->addWidget(FTagline, 1, 1);
    grid->addWidget(FPrintFilename, 2, 0, 1, 2);
    grid->addWidget(FLochrand, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
}

void TPrintOptionsBox::LoadSettings(const TDocumentSettings &settings)
{
    FTagline->setText(settings.Footer);
    FHeaderText->setText(settings.Header);
    FHeader->setChecked(settings.PrintHeader);
    FFusszeile->setChecked(settings.PrintFooter);
    FPrintFilename->setChecked(settings.PrintFilename);
    FLochrand->setChecked(settings.PrintLochrand);
}

void TPrintOptionsBox::StoreSettings(TDocumentSettings &settings) const
{
    settings.Footer = FTagline->text();
    settings.Header = FHeaderText->text();
    settings.PrintHeader = FHeader->isChecked();
    settings.PrintFooter = FFusszeile->isChecked();
    settings.PrintFilename = FPrintFilename->isChecked();
    settings.PrintLochrand = FLochrand->isChecked();
}

void TPrintOptionsBox::StartJob(TPrintJob &job, const QString &fileName) const
{
    job.SetLochrand(FLochrand->isChecked());
    job.NewJob();
    job.NewPage();
    AddDefaultHeaderAndFooter(job, FHeader->isChecked() ? FHeaderText->text() : QString(),
        FFusszeile->isChecked() ? FTagline->text() : QString(),
        FPrintFilename->isChecked() ? fileName : QString());
}
