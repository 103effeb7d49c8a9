#include "mainwindow/Editor.h"

#include "document/Document.h"
#include "mainwindow/EditorForm.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

constexpr int kShowHideDelay = 500;

} // namespace

TEditor::TEditor(Document &Doc, IEditorPlacementHost &Host, QWidget &MainWindow)
    : FDoc(Doc)
    , FHost(Host)
    , FMainWindow(MainWindow)
    , FEditorPanel(new QWidget)
    , FEditorForm(new TEditorForm(&MainWindow))
    , FEditorScrollBox(new TEditorScrollBox(Doc, Host, FAutofill))
    , FObservation(Doc, *this)
{
    FEditorPanel->setObjectName(QStringLiteral("EditorPanel"));
    auto *layout = new QVBoxLayout(FEditorPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FEditorScrollBox);
    FEditorPanel->hide();
    FChangeEditorVisibleTimer.setObjectName(QStringLiteral("ChangeEditorVisibleTimer"));
    FChangeEditorVisibleTimer.setSingleShot(true);
    FChangeEditorVisibleTimer.setInterval(kShowHideDelay);
    connect(&FChangeEditorVisibleTimer, &QTimer::timeout, this, &TEditor::ChangeEditorVisibleTimerTimer);
    connect(FEditorScrollBox, &TEditorScrollBox::StatusTextChanged, FEditorForm, &TEditorForm::SetStatusText);
    connect(FEditorForm, &TEditorForm::SizeChanged, this, &TEditor::OnEditorSizeChanged);
}

TEditor::~TEditor()
{
    // The fields read the autofill table and the document: they go first.
    delete FEditorScrollBox;
    delete FEditorForm;
    if (FEditorPanel && !FEditorPanel->parent())
        delete FEditorPanel;
}

QString TEditor::LoadAutofill(const QString &DocumentFileName)
{
    return FAutofill.Load(FDoc, DocumentFileName);
}

void TEditor::Rebuild(TWhichTable Table)
{
    FEditorScrollBox->Rebuild(Table);
    // The window takes the table's size; that resize is not the user's.
    FEditorSizeUpdate = true;
    FEditorForm->setMaximumHeight(
        FEditorScrollBox->ScrollRange() + FEditorForm->StatusBar1()->sizeHint().height());
    FEditorForm->resize(FEditorSize[Table]);
    FEditorSizeUpdate = false;
}

void TEditor::UpdateEditor()
{
    if (FRefreshPending)
        return;
    FRefreshPending = true;
    QTimer::singleShot(0, this, &TEditor::Refresh);
}

void TEditor::Refresh()
{
    FRefreshPending = false;
    if (FDoc.IsUpdating() || !FEditorVisible)
        return;
    FEditorScrollBox->Refresh();
}

void TEditor::SelectionChanged(TWhichTable Table)
{
    if (Table == FEditorScrollBox->Table())
        UpdateEditor();
}

void TEditor::UpdateTextChanged(const QString &, bool Busy)
{
    if (Busy || FDoc.IsUpdating())
        return;
    const bool selected = FDoc.SelectedCount(FEditorScrollBox->Table()) >= 1;
    if (selected != FEditorVisible)
        SeteditorVisible(selected);
    UpdateEditor();
}

void TEditor::SeteditorVisible(bool Visible)
{
    FEditorVisible = Visible;
    FChangeEditorVisibleTimer.start();
}

void TEditor::ChangeEditorVisibleTimerTimer()
{
    if (FHost.IsLoading()) {
        FChangeEditorVisibleTimer.start();
        return;
    }
    FChangeEditorVisibleTimer.stop();
    if (!FEditorScrollBox->HasFields())
        FEditorVisible = false;
    if (!FEditorAsForm) {
        FEditorForm->hide();
        FEditorPanel->setVisible(FEditorVisible);
        return;
    }
    FEditorPanel->hide();
    FEditorForm->setVisible(FEditorVisible);
    if (!FEditorVisible)
        return;
    // The whole window on the screen it is on.
    const QScreen *screen = FEditorForm->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect frame = FEditorForm->frameGeometry();
    QPoint place = frame.topLeft();
    place.setX(std::max(area.left(), std::min(place.x(), area.right() + 1 - frame.width())));
    place.setY(std::max(area.top(), std::min(place.y(), area.bottom() + 1 - frame.height())));
    if (place != frame.topLeft())
        FEditorForm->move(place);
}

void TEditor::EditorAsFormClick()
{
    const bool previous = FEditorVisible;
    SeteditorVisible(false);
    FEditorForm->setFont(FMainWindow.font());
    FEditorAsForm = !FEditorAsForm;
    if (FEditorAsForm)
        FEditorForm->TakeEditor(*FEditorScrollBox);
    else
        FEditorPanel->layout()->addWidget(FEditorScrollBox);
    SeteditorVisible(previous);
    emit EditorAsFormChanged(FEditorAsForm);
}

QPoint TEditor::GetEditorPos() const
{
    return FEditorForm->pos();
}

void TEditor::SetEditorPos(QPoint Pos)
{
    FEditorForm->move(Pos);
}

void TEditor::SetEditorSize(TWhichTable Table, QSize Size)
{
    FEditorSize[Table] = Size;
}

void TEditor::OnEditorSizeChanged()
{
    if (!FEditorSizeUpdate)
        FEditorSize[FEditorScrollBox->Table()] = FEditorForm->size();
}
