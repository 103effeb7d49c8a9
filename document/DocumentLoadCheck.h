#pragma once

#include <QString>

class TXMLTree;

// Whether Document::LoadFromTree would load `tree`, found without reading its
// rows or touching any open document: the tree holds a document, a newer
// version's question is agreed to (asked as the load asks it), and its rows fit
// the columns of its setup. `reason` says why not; `cancelled` tells whether the
// user declined.
bool CanLoadDocumentTree(
    const TXMLTree &tree, bool wasCompressed, bool *cancelled = nullptr, QString *reason = nullptr);
