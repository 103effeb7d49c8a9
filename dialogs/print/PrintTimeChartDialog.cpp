#include "dialogs/print/PrintTimeChartDialog.h"

#include "dialogs/print/ChartPrinting.h"
#include "dialogs/print/DateRangeControls.h"
#include "dialogs/print/DialogControls.h"
#include "dialogs/print/FontFit.h"
#include "dialogs/print/PageGeometry.h"
#include "dialogs/print/PreviewForm.h"
#include "dialogs/print/PrintOptionsBox.h"
#include "document/program/MessageDialog.h"
#include "document/program/Settings.h"
#include "document/program/Translation.h"
#include "timechart/CanvasPanel.h"
#include "timechart/TimeChart.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

constexpr TColor SketchColor = 0xE0CA92;
constexpr int MaxPages = 20;

// The main window's printing state, set while a printout is made.
class TPrintingState {
public:
    explicit TPrintingState(const std::function<void(bool)> &handler)
        : FHandler(handler)
    {
        if (FHandler)
            FHandler(true);
    }
    ~TPrintingState()
    {
        if (FHandler)
            FHandler(false);
    }
    TPrintingState(const TPrintingState &) = delete;
    TPrintingState &operator=(const TPrintingState &) = delete;

private:
    const std::function<void(bool)> &FHandler;
};

} // namespace

TPrintTimeChartDialog::TPrintTimeChartDialog(TTimeChart &chart, IPrinterDevice &printer, QWidget *parent)
    : QDialog(parent)
    , FChart(chart)
    , FPreview(printer, this)
    , FRange(
          new TDateRangeControls(QStringLiteral("Print Summary"), QStringLiteral("Print current view"), this))
    , FPages(new QSpinBox(this))
    , FShowToday(new QCheckBox(QStringLiteral("Show today as red bar"), this))
    , FOptions(new TPrintOptionsBox(this))
    , FPanel(new QWidget(this))
    , FSketch(new TCanvasPanel(FPanel))
    , FButtonSetup(NamedPushButton(this, "ButtonSetup", QStringLiteral("Printer setup...")))
    , FButtonOK(NamedPushButton(this, "ButtonOK", QStringLiteral("OK")))
{
    setObjectName(QStringLiteral("PrintTimeChartDialog"));
    setWindowTitle(QStringLiteral("Print Timechart"));
    FPages->setObjectName(QStringLiteral("pages"));
    FPages->setRange(1, MaxPages);
    FShowToday->setObjectName(QStringLiteral("heutehervorheben"));
    FPanel->setObjectName(QStringLiteral("Panel"));
    FPanel->setMinimumSize(160, 160);
    FSketch->setObjectName(QStringLiteral("pb"));
    FSketch->SetColor(clWhite);
    FSketch->SetOnPaint([this](TCanvasPanel &, QPainter &canvas, const QRegion &) { pbPaint(canvas); });
    QPushButton *cancel = NamedPushButton(this, "ButtonCancel", QStringLiteral("Cancel"));
    FButtonOK->setDefault(true);

    auto *split = new QHBoxLayout;
    split->addWidget(new QLabel(QStringLiteral("split to"), this));
    split->addWidget(FPages);
    split->addWidget(new QLabel(QStringLiteral("Page(s)"), this));
    split->addStretch();
    auto *left = new QVBoxLayout;
    left->addWidget(FRange);
    left->addLayout(split);
    left->addWidget(FShowToday);
    left->addStretch();
    auto *top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(FPanel, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(FOptions);
    layout->addLayout(DialogButtonRow(FButtonSetup, { FButtonOK, cancel }));

    FRange->SetChartRanges(FChart);
    connect(FRange, &TDateRangeControls::rangeChanged, FSketch, qOverload<>(&QWidget::update));
    connect(FPages, &QSpinBox::valueChanged, FSketch, qOverload<>(&QWidget::update));
    connect(FButtonSetup, &QPushButton::clicked, this, &TPrintTimeChartDialog::ButtonSetupClick);
    connect(FButtonOK, &QPushButton::clicked, this, &TPrintTimeChartDialog::ButtonOKClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    FPanel->installEventFilter(this);
    resize(560, 420);
    GrowWithFont(*this, size());
}

TPrintTimeChartDialog::~TPrintTimeChartDialog() = default;

void TPrintTimeChartDialog::LoadSettings(const TDocumentSettings &settings)
{
    FOptions->LoadSettings(settings);
    FShowToday->setChecked(settings.PrintToday);
}

void TPrintTimeChartDialog::StoreSettings(TDocumentSettings &settings) const
{
    FOptions->StoreSettings(settings);
    settings.PrintToday = FShowToday->isChecked();
}

void TPrintTimeChartDialog::showEvent(QShowEvent *event)
{
    FormActivate();
    QDialog::showEvent(event);
}

bool TPrintTimeChartDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FPanel && event->type() == QEvent::Resize)
        formatchange();
    return QDialog::eventFilter(watched, event);
}

void TPrintTimeChartDialog::FormActivate()
{
    formatchange();
    FRange->FormActivate();
}

void TPrintTimeChartDialog::formatchange()
{
    const TRect box = PositionPaintBox(FPreview.Printer().DeviceCaps(), FPanel->size());
    FSketch->setGeometry(ToQRect(box));
    FSketch->update();
}

void TPrintTimeChartDialog::ButtonSetupClick()
{
    if (FOnPrinterSetup)
        FOnPrinterSetup(this);
    formatchange();
}

// One page's strip: the chart over the range split into the pages, against the
// chart's height, as large as fits and centred.
void TPrintTimeChartDialog::pbPaint(QPainter &canvas)
{
    const QSize client = FSketch->size();
    canvas.fillRect(QRect(QPoint(0, 0), client), Qt::white);
    const int days = std::max(1, FRange->Tage() / FPages->value());
    const QSize chart = StripSize(FChart, TStripLegibility(FChart), days, 0);
    const double width = chart.width();
    const double height = chart.height();
    if (!(width > 0) || !(height > 0) || client.isEmpty())
        return;
    const double scale = std::min(client.width() / width, client.height() / height);
    const int w = std::max(1, int(std::nearbyint(width * scale)));
    const int h = std::max(1, int(std::nearbyint(height * scale)));
    canvas.fillRect(QRect((client.width() - w) / 2, (client.height() - h) / 2, w, h), ToQColor(SketchColor));
}

void TPrintTimeChartDialog::ButtonOKClick()
{
    const TPrintingState printing(FOnPrinting);
    FPrintAsBitmap = MessageDlg(Translate(QStringLiteral("Print in screen resolution to improve printing "
                                                         "performance?")),
                         mtConfirmation, { mbYes, mbNo })
        == mrYes;
    FOptions->StartJob(FPreview, FFileName);
    TChartPrintOptions options;
    options.Start = FRange->StartDate();
    options.End = FRange->EndDate();
    options.Days = FRange->Tage();
    options.Pages = FPages->value();
    options.ShowToday = FShowToday->isChecked();
    options.AsBitmap = FPrintAsBitmap;
    PrintChartStrips(FPreview, FChart, options);
    FPreview.PrintHeaderAndFooter();
    if (FPreview.Preview() != mrCancel)
        accept();
}
