#pragma once

#include <QDialog>

class TPageView;
class TPrintJob;

// A finished job's pages as large as the screen allows; a click closes it, the wheel
// steps pages. Position() is the page shown, for the preview to take over.
class TPrintPreviewFullScreenDialog : public QDialog {
    Q_OBJECT
public:
    TPrintPreviewFullScreenDialog(const TPrintJob &job, int page, QWidget *parent);

    TPageView *PageView() const { return FView; }
    int Position() const;

private:
    TPageView *FView;
};
