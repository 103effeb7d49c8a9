#pragma once

#include "document/DocumentTypes.h"
#include "document/RowChangeLog.h"

class Document;

// The dates a document's valid rows span (their starts, derived ends and
// deadlines), kept between passes: rows changed since widen it, and only a
// change of a row that lay on an edge walks every row again.
class TDataBounds {
public:
    explicit TDataBounds(Document &doc);

    // The earliest start or deadline and the latest end or deadline of the
    // valid rows of both tables, their ends derived where due; false (and the
    // dates untouched) when no row is valid.
    bool Get(TDateTime &min, TDateTime &max);

private:
    void WalkAll();
    // False when a full walk is due.
    bool FollowChanges();
    void Widen(TNodeData &node);
    bool OnEdge(const TRowSnapshot &before) const;

    Document &FDoc;
    TRowChangeReader FReader;
    bool FAny = false;
    TDateTime FMin = 0;
    TDateTime FMax = 0;
};
