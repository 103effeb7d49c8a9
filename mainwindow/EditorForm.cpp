#include "mainwindow/EditorForm.h"

#include "controls/ScreenDocker.h"

#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

TEditorForm::TEditorForm(QWidget *MainWindow)
    : QWidget(MainWindow, Qt::Tool | Qt::WindowStaysOnTopHint)
    , FLayout(new QVBoxLayout(this))
    , FStatusBar(new QStatusBar(this))
    , FStatusPanel(new QLabel(FStatusBar))
    , FDocker(new TScreenDocker(this))
{
    setObjectName(QStringLiteral("EditorForm"));
    setWindowTitle(QStringLiteral("KEZ Editor"));
    FStatusBar->setObjectName(QStringLiteral("StatusBar1"));
    FStatusBar->addWidget(FStatusPanel, 1);
    FLayout->setContentsMargins(0, 0, 0, 0);
    FLayout->setSpacing(0);
    FLayout->addWidget(FStatusBar);
}

void TEditorForm::TakeEditor(QWidget &Editor)
{
    FLayout->insertWidget(0, &Editor, 1);
}

QString TEditorForm::StatusText() const
{
    return FStatusPanel->text();
}

void TEditorForm::SetStatusText(const QString &Text)
{
    FStatusPanel->setText(Text);
}

void TEditorForm::resizeEvent(QResizeEvent *Event)
{
    QWidget::resizeEvent(Event);
    emit SizeChanged();
}
