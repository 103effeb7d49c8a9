#pragma once

#include <QDialog>

class QPushButton;
class QScrollBar;
class TPageView;
class TPagePaintBox;
class TPrintJob;

// The preview window: the page with its page scroll bar in a framed panel, and the
// buttons to print every page, print the page shown, or cancel. Its texts are
// translated with the window. The dialog's result is 1 after printing, 2 otherwise.
class TPrintPreviewForm : public QDialog {
    Q_OBJECT
public:
    TPrintPreviewForm(TPrintJob &job, QWidget *parent);

    QPushButton *Button1() const { return FButton1; }
    QPushButton *Button2() const { return FButton2; }
    QPushButton *Button3() const { return FButton3; }
    TPageView *Panel1() const { return FPanel1; }
    TPagePaintBox *PaintBox1() const;
    QScrollBar *ScrollBar() const;

    // Shows page 1 of the job, whose recording is finished, and centres the window.
    void ShowJob();

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private:
    void OpenFullScreen();
    // The buttons as wide and high as their texts need (at least as the window was
    // drawn), the window grown around them where they need more room.
    void ArrangeButtons();

    TPrintJob &FJob;
    QPushButton *FButton1;
    QPushButton *FButton2;
    QPushButton *FButton3;
    TPageView *FPanel1;
};
