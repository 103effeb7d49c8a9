#pragma once

#include <QString>
#include <QWidget>

class QScrollBar;
class TPrintJob;

// "Druckvorschau - Seite 2 von 5": the caption of both preview windows.
QString PreviewCaption(int page, int count);

// Shows one page of a finished job as the whole sheet; a click on it is reported.
class TPagePaintBox : public QWidget {
    Q_OBJECT
public:
    TPagePaintBox(const TPrintJob &job, QWidget *parent);

    int Page() const { return FPage; }
    void SetPage(int page);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    const TPrintJob &FJob;
    int FPage = 0;
};

// The page picture beside a vertical page scroll bar (Min 1, Max the page count). The
// picture takes the sheet's proportions, as large as fits left of the bar, centred.
// The wheel anywhere in the window steps one page per notch.
class TPageView : public QWidget {
    Q_OBJECT
public:
    // `framed`: a one-pixel border around the view.
    TPageView(const TPrintJob &job, bool framed, QWidget *parent);

    TPagePaintBox *PaintBox() const { return FPaintBox; }
    QScrollBar *ScrollBar() const { return FScrollBar; }
    int Position() const;
    void SetPosition(int page);
    int PageCount() const;
    // Takes the job's page count and sheet; shows page 1.
    void ShowJob();
    // Steps pages for the wheel over `window` and everything in it.
    void CatchWheelOf(QWidget *window);

signals:
    void pageChanged(int page);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void PlaceChildren();

    const TPrintJob &FJob;
    bool FFramed;
    TPagePaintBox *FPaintBox;
    QScrollBar *FScrollBar;
};
