#pragma once

#include "dialogs/print/PrintPreviewDialog.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QPushButton;
class QSpinBox;
class TCanvasPanel;
class TDateRangeControls;
class TPrintOptionsBox;
class TTimeChart;
struct TDocumentSettings;

// Prints the time chart over a date range, cut into strips of equal length, one per
// page, each as large as its page allows. A sketch shows a strip's proportions on
// the printer's page. Cancelling the preview leaves the dialog open.
class TPrintTimeChartDialog : public QDialog {
    Q_OBJECT
public:
    TPrintTimeChartDialog(TTimeChart &chart, IPrinterDevice &printer, QWidget *parent = nullptr);
    ~TPrintTimeChartDialog() override;

    TPrintPreviewDialog &PrintPreviewDialog1() { return FPreview; }
    TDateRangeControls *Range() const { return FRange; }
    // "split to" n "Page(s)", 1..20.
    QSpinBox *pages() const { return FPages; }
    QCheckBox *heutehervorheben() const { return FShowToday; }
    TPrintOptionsBox *Options() const { return FOptions; }
    QWidget *Panel() const { return FPanel; }
    TCanvasPanel *pb() const { return FSketch; }
    QPushButton *ButtonSetup() const { return FButtonSetup; }
    QPushButton *ButtonOK() const { return FButtonOK; }
    bool printAsBitmap() const { return FPrintAsBitmap; }

    // The document's full file name, printed when "Print Filename" is checked.
    void SetFileName(const QString &fileName) { FFileName = fileName; }
    // Runs the printer setup (the main window's).
    void SetOnPrinterSetup(std::function<void(QWidget *)> setup) { FOnPrinterSetup = std::move(setup); }
    // Told while the printout is made (true) and after it (false): the main window's
    // printing state.
    void SetOnPrinting(std::function<void(bool)> handler) { FOnPrinting = std::move(handler); }

    void LoadSettings(const TDocumentSettings &settings);
    void StoreSettings(TDocumentSettings &settings) const;

    void FormActivate();
    void formatchange();
    void ButtonSetupClick();
    void ButtonOKClick();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pbPaint(QPainter &canvas);

    TTimeChart &FChart;
    TPrintPreviewDialog FPreview;
    QString FFileName;
    std::function<void(QWidget *)> FOnPrinterSetup;
    std::function<void(bool)> FOnPrinting;
    bool FPrintAsBitmap = false;
    TDateRangeControls *FRange;
    QSpinBox *FPages;
    QCheckBox *FShowToday;
    TPrintOptionsBox *FOptions;
    QWidget *FPanel;
    TCanvasPanel *FSketch;
    QPushButton *FButtonSetup;
    QPushButton *FButtonOK;
};
