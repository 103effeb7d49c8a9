#pragma once

#include "dialogs/export/ChartImage.h"

#include <QDialog>
#include <functional>
#include <optional>

class QPushButton;
class TDateRangeControls;
class TTimeChart;

// "Save Graphics": the date range of the chart image, chosen as for printing. OK
// prepares the image; a range too large for a JPEG file is refused with a message
// and the dialog stays open.
class TForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TForm1(TTimeChart &chart, QWidget *parent = nullptr);
    ~TForm1() override;

    TDateRangeControls *Range() const { return FRange; }
    QPushButton *ButtonOK() const { return FButtonOK; }
    QPushButton *ButtonCancel() const { return FButtonCancel; }

    // The stamp the next image gets.
    void SetStamp(const QString &stamp) { FStamp = stamp; }
    // The image OK prepared (none before, or after a refused range).
    const std::optional<TChartImage> &Image() const { return FImage; }

    void ButtonOKClick();
    // Prepares the image of the chosen range: its size and how it is painted.
    void redrawGraphics();

protected:
    void showEvent(QShowEvent *event) override;

private:
    TTimeChart &FChart;
    QString FStamp;
    std::optional<TChartImage> FImage;
    TDateRangeControls *FRange;
    QPushButton *FButtonOK;
    QPushButton *FButtonCancel;
};

// Saves the chart as a JPEG file: asks for the file (`savePictureDialog` runs the
// save dialog from the suggested name and gives the chosen one, empty when
// cancelled), writes ".jpg" to it, asks before replacing a file, lets the user choose
// the range in `form`, and writes the image. The name suggested is the document's
// own with ".jpg", in the document's folder. Every failure is shown; the file
// written, or empty.
QString Grafikspeichern1Click(TForm1 &form, const QString &documentFileName,
    const std::function<QString(const QString &suggested)> &savePictureDialog);
