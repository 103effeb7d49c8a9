#include "dialogs/export/SaveGraphicsDialog.h"

#include "dialogs/print/DateRangeControls.h"
#include "dialogs/print/DialogControls.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"
#include "document/program/Utils.h"
#include "platform/gui/JpegWriter.h"
#include "timechart/TimeChart.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The hourglass while the image is painted and written.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor &) = delete;
    TWaitCursor &operator=(const TWaitCursor &) = delete;
};

bool ShowSizeRefused(QSize size)
{
    if (JpegSizeAllowed(size))
        return false;
    MessageDlg(
        Translate(QStringLiteral("The image would be %s x %s pixels; a JPEG file holds at most %s in "
                                 "each direction. Please choose a shorter range or a smaller zoom."),
            { QString::number(size.width()), QString::number(size.height()), QString::number(JpegMaxSide) }),
        mtError, { mbOK });
    return true;
}

} // namespace

TForm1::TForm1(TTimeChart &chart, QWidget *parent)
    : QDialog(parent)
    , FChart(chart)
    , FRange(
          new TDateRangeControls(QStringLiteral("Draw Summary"), QStringLiteral("Draw current view"), this))
    , FButtonOK(new QPushButton(QStringLiteral("OK"), this))
    , FButtonCancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Save Graphics"));
    FButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    FButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    FButtonOK->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FRange);
    layout->addLayout(DialogButtonRow(nullptr, { FButtonOK, FButtonCancel }));
    FRange->SetChartRanges(FChart);
    connect(FButtonOK, &QPushButton::clicked, this, &TForm1::ButtonOKClick);
    connect(FButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TForm1::~TForm1() = default;

void TForm1::showEvent(QShowEvent *event)
{
    FImage.reset();
    FRange->FormActivate();
    QDialog::showEvent(event);
}

void TForm1::ButtonOKClick()
{
    redrawGraphics();
    if (FImage)
        accept();
}

void TForm1::redrawGraphics()
{
    FImage.emplace(FChart, FRange->StartDate(), FRange->EndDate(), FStamp);
    // Refused before anything is painted: such a file cannot be written.
    if (ShowSizeRefused(FImage->Size()))
        FImage.reset();
}

QString Grafikspeichern1Click(TForm1 &form, const QString &documentFileName,
    const std::function<QString(const QString &suggested)> &savePictureDialog)
{
    // The image goes beside the document, as its printouts and workbooks do.
    const QString chosen = savePictureDialog(ChangeFileExt(documentFileName, QStringLiteral(".jpg")));
    if (chosen.isEmpty())
        return {};
    // The file written, named before the question so that it asks about that file.
    const QString fileName = ChangeFileExt(chosen, QStringLiteral(".jpg"));
    if (QFileInfo::exists(fileName)
        && MessageDlg(
               Translate(QStringLiteral("File %s already exists.\nOverwrite this file?"), { fileName }),
               mtConfirmation, { mbOK, mbCancel })
            != mrOk)
        return {};
    form.SetStamp(ImageStamp(documentFileName, Now()));
    if (form.exec() != QDialog::Accepted || !form.Image())
        return {};
    const TChartImage &image = *form.Image();
    if (ShowSizeRefused(image.Size()))
        return {};
    platform::WriteResult written;
    {
        const TWaitCursor wait;
        written = WriteJpeg(fileName, image.Size(),
            [&image](QPainter &painter, const QRect &band) { image.PaintBand(painter, band); });
    }
    if (!written) {
        MessageDlg(
            Translate(QStringLiteral("File could not be saved, please try saving with a different filename"))
                + QLatin1Char('\n') + written.reason(),
            mtError, { mbOK });
        return {};
    }
    return fileName;
}
