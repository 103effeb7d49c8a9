#include "dialogs/stats/ChartDialog.h"

#include <QVBoxLayout>

TChartDialog::TChartDialog(QWidget *parent)
    : QDialog(parent)
    , m_chart(new StepAreaChart(this))
{
    setObjectName(QStringLiteral("ChartDialog"));
    setWindowTitle(QStringLiteral("Utilization"));
    m_chart->setObjectName(QStringLiteral("Chart1"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_chart);
    resize(640, 400);
}

void TChartDialog::ShowCurve(const QString &title1, const QString &title2, std::vector<TChartPoint> points,
    const TUtilisationGrid &grid)
{
    m_chart->SetTitle(title1, title2);
    m_chart->SetCurve(std::move(points), grid.minDate, grid.maxDate);
}
