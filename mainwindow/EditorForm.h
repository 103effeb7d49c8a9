#pragma once

#include <QWidget>

class QLabel;
class QStatusBar;
class QVBoxLayout;
class TScreenDocker;

// The editor as a window of its own: a tool window of the main window, always
// on top, that snaps to the screen's edges, with a status bar of one panel.
class TEditorForm : public QWidget {
    Q_OBJECT
public:
    explicit TEditorForm(QWidget *MainWindow);

    // Puts the editor into the window, above the status bar.
    void TakeEditor(QWidget &Editor);
    QString StatusText() const;
    void SetStatusText(const QString &Text);
    QStatusBar *StatusBar1() const { return FStatusBar; }
    TScreenDocker &ScreenDocker() const { return *FDocker; }

signals:
    // The window's size changed.
    void SizeChanged();

protected:
    void resizeEvent(QResizeEvent *Event) override;

private:
    QVBoxLayout *FLayout;
    QStatusBar *FStatusBar;
    QLabel *FStatusPanel;
    TScreenDocker *FDocker;
};
