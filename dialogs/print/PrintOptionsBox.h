#pragma once

#include <QString>
#include <QWidget>

class QCheckBox;
class QLineEdit;
class TPrintJob;
struct TDocumentSettings;

// The options both printouts share: a page title ("Print Header:"), a footer text
// ("Print Footer:"), the document's file name and the punch margin ("leave
// border"). They are kept with the document's settings between uses.
class TPrintOptionsBox : public QWidget {
    Q_OBJECT
public:
    explicit TPrintOptionsBox(QWidget *parent = nullptr);

    QCheckBox *Header() const { return FHeader; }
    QLineEdit *HeaderText() const { return FHeaderText; }
    QCheckBox *Fusszeile() const { return FFusszeile; }
    QLineEdit *Tagline() const { return FTagline; }
    QCheckBox *PrintFilename() const { return FPrintFilename; }
    QCheckBox *Lochrand() const { return FLochrand; }

    void LoadSettings(const TDocumentSettings &settings);
    // Takes back each value into `settings`.
    void StoreSettings(TDocumentSettings &settings) const;

    // Starts a job on `job` with the punch margin and a first page, and registers the
    // standard header and footer lines as the options say; `fileName` is the
    // document's full file name.
    void StartJob(TPrintJob &job, const QString &fileName) const;

private:
    QCheckBox *FHeader;
    QLineEdit *FHeaderText;
    QCheckBox *FFusszeile;
    QLineEdit *FTagline;
    QCheckBox *FPrintFilename;
    QCheckBox *FLochrand;
};
