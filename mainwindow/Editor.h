#pragma once

#include "document/Document.h"
#include "document/DocumentObserver.h"
#include "document/DocumentTypes.h"
#include "mainwindow/EditorAutofill.h"
#include "mainwindow/EditorForm.h"
#include "mainwindow/EditorScrollBox.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QTimer>
#include <array>

// What the editor's placement needs of the window beyond the fields' needs.
class IEditorPlacementHost : public IEditorHost {
public:
    // A document is being loaded: the editor waits with showing or hiding.
    virtual bool IsLoading() const { return false; }
};

// The editor panel of the main window: its fields (EditorScrollBox) sit either
// in EditorPanel, right of the tables, or in the tool window EditorForm. It is
// shown half a second after rows are selected and hidden half a second after
// the selection became empty; each table keeps its own editor window size. It
// follows the selection of the document's tables.
class TEditor : public QObject, public IDocumentObserver {
    Q_OBJECT
public:
    TEditor(Document &Doc, IEditorPlacementHost &Host, QWidget &MainWindow);
    ~TEditor() override;

    // The panel for the main window's splitter beside the tables.
    QWidget &EditorPanel() const { return *FEditorPanel; }
    TEditorForm &EditorForm() const { return *FEditorForm; }
    TEditorScrollBox &EditorScrollBox() const { return *FEditorScrollBox; }
    const TEditorAutofill &Autofill() const { return FAutofill; }

    // Reads the autofill file of the document (the task table's columns learn
    // whether they have autofill).
    // The text for the user when the autofill file is ignored (see TEditorAutofill::Load).
    QString LoadAutofill(const QString &DocumentFileName);
    // Makes the fields for the table anew; the editor window takes the table's size.
    void Rebuild(TWhichTable Table);

    // Refreshes the fields from the selection once the present event is handled
    // (however often it is asked), while the editor is wanted and no update
    // bracket is open.
    void UpdateEditor() override;
    bool RefreshPending() const { return FRefreshPending; }

    // The wanted visibility; applied after half a second.
    bool EditorVisible() const { return FEditorVisible; }
    void SeteditorVisible(bool Visible);
    void ChangeEditorVisibleTimerTimer();
    QTimer &ChangeEditorVisibleTimer() { return FChangeEditorVisibleTimer; }

    // The menu option: the editor in a window of its own.
    bool EditorAsForm() const { return FEditorAsForm; }
    void EditorAsFormClick();

    QPoint GetEditorPos() const;
    void SetEditorPos(QPoint Pos);
    // The editor window's size for a table's fields.
    QSize GetEditorSize(TWhichTable Table) const { return FEditorSize[Table]; }
    void SetEditorSize(TWhichTable Table, QSize Size);
    // The editor window was resized (by the user): its size is kept for the table.
    void OnEditorSizeChanged();

    void SelectionChanged(TWhichTable Table) override;
    // At the end of an update bracket: the fields show the rows as they are now
    // (their lists the setup as it is), and the editor follows a selection
    // that rows deleted inside the bracket have emptied (the tables report no
    // change of selection while they are being updated).
    void UpdateTextChanged(const QString &Text, bool Busy) override;

signals:
    void EditorAsFormChanged(bool AsForm);

private:
    void Refresh();

    Document &FDoc;
    IEditorPlacementHost &FHost;
    QWidget &FMainWindow;
    TEditorAutofill FAutofill;
    // The window owns these once they are placed; whichever is left goes with
    // the editor.
    QPointer<QWidget> FEditorPanel;
    QPointer<TEditorForm> FEditorForm;
    QPointer<TEditorScrollBox> FEditorScrollBox;
    QTimer FChangeEditorVisibleTimer;
    bool FEditorVisible = false;
    bool FEditorAsForm = false;
    bool FRefreshPending = false;
    // Set while the editor itself sizes its window.
    bool FEditorSizeUpdate = false;
    std::array<QSize, kTableCount> FEditorSize { QSize(300, 300), QSize(300, 300) };
    ScopedDocumentObserver FObservation;
};
