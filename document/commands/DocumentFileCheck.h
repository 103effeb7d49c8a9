#pragma once

#include <QString>

// What opening looks at before anything is read whole or copied into the sharing
// folder: a file larger than a document may be, or one that cannot be a document
// or an old document (its first bytes say so), is not opened at all.
struct TDocumentFileCheck {
    enum class Verdict { Fits, TooLarge, NotADocument, Unreadable };
    Verdict verdict = Verdict::Fits;
    QString reason; // for the log, empty when it fits
    explicit operator bool() const { return verdict == Verdict::Fits; }
};

TDocumentFileCheck CheckDocumentFile(const QString &fileName);
