#include "dialogs/stats/ChartDialog.h"

#include <QVBoxLayout>

TChartDialog::TChartDialog(QWidget *parent)
    : QDialog(parent)
    , FChart(new StepAreaChart(this))
{
    setObjectName(QStringLiteral("ChartDialog"));
    setWindowTitle(QStringLiteral("Utilization"));
    FChart->setObjectName(QStringLiteral("Chart1"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FChart);
    resize(640, 400);
}

void TChartDialog::ShowCurve(const QString &title1, const QString &title2, std::vector<TChartPoint> points,
    const TUtilisationGrid &grid)
{
    FChart->SetTitle(title1, title2);
    FChart->SetCurve(std::move(points), grid.minDate, grid.maxDate);
}
