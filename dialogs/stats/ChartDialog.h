#pragma once

#include "dialogs/stats/StepAreaChart.h"

#include <QDialog>

// The window that shows one utilisation curve.
class TChartDialog : public QDialog {
    Q_OBJECT
public:
    explicit TChartDialog(QWidget *parent = nullptr);

    StepAreaChart *Chart1() const { return FChart; }
    // Shows `points` over the grid's date range under the two title lines.
    void ShowCurve(const QString &title1, const QString &title2, std::vector<TChartPoint> points,
        const TUtilisationGrid &grid);

private:
    StepAreaChart *FChart;
};
