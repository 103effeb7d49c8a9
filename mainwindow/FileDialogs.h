#pragma once

#include <QString>

class QWidget;

// The open and save dialogs of the main window. The program shows the
// platform's file dialogs; tests answer them by script.
class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;
    // `fileName` holds the proposed name on entry and the chosen one on return;
    // false when the user cancels.
    virtual bool ChooseOpenFileName(QWidget *parent, QString &fileName) = 0;
    virtual bool ChooseSaveFileName(QWidget *parent, QString &fileName) = 0;
    // The save dialog of the chart image ("*.jpeg", "*.jpg"), as above; the
    // document's save dialog unless given one of its own.
    virtual bool ChooseSavePictureName(QWidget *parent, QString &fileName)
    {
        return ChooseSaveFileName(parent, fileName);
    }
    // The save dialog of a printout written to a PDF file ("*.pdf"), as above.
    virtual bool ChooseSavePdfName(QWidget *parent, QString &fileName)
    {
        return ChooseSaveFileName(parent, fileName);
    }
};

// Where a file dialog for `fileName` opens: at the name itself when it has a
// folder, else in the user's documents folder (the home folder when there is
// none), never in the folder the program happened to be started from. An
// empty name gives the folder, ending in "/".
QString StartingPlace(const QString &fileName);

// The platform's dialogs, for documents ("*.kez").
class TFileDialogs final : public IFileDialogs {
public:
    bool ChooseOpenFileName(QWidget *parent, QString &fileName) override;
    bool ChooseSaveFileName(QWidget *parent, QString &fileName) override;
    bool ChooseSavePictureName(QWidget *parent, QString &fileName) override;
    bool ChooseSavePdfName(QWidget *parent, QString &fileName) override;
};
