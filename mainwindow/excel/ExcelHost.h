#pragma once

#include <QString>

// What the Excel export and import ask of the window around them. Every call
// has a harmless default, so the commands run with no window at all; the main
// window answers with its dialogs (TExcelDialogs), tests with scripted answers.
class IExcelHost {
public:
    virtual ~IExcelHost() = default;

    // The save dialog for the exported workbook and the open dialog of the
    // import (OpenDialog2); false when the user cancels. `fileName` holds the
    // proposed name on entry and the chosen one on return.
    virtual bool ChooseExportFileName(QString &fileName) { return false; }
    virtual bool ChooseImportFileName(QString &fileName) { return false; }
    // Shows the written workbook in the desktop's program for it.
    virtual void OpenWorkbook(const QString &fileName) { }
    // Hourglass cursor on or off.
    virtual void SetBusy(bool busy) { }
    // The document's full path; empty while it has no file.
    virtual QString DocumentFileName() const { return {}; }
};
