#pragma once

#include "document/DocumentTypes.h"
#include "document/RowChangeLog.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class Document;

// The valid rows of both tables by the days their bars and deadline arrows cover,
// so that a paint visits only the rows of its days, however many the document
// holds. When the document's rows revision moved on, the rows changed since are
// moved within the index; it is built anew after a change of the whole.
class TBarIndex {
public:
    // The rows of `table` whose bar or deadline may meet the days first .. last, in
    // tree order (the order they are drawn in). Rows whose end is still to be
    // derived are among them when they start before `last`, very long ones always.
    std::vector<TNodeData *> Rows(Document &doc, TWhichTable table, double first, double last);
    // The same rows in no particular order, for a caller that keeps only some of
    // them and puts those in tree order itself (SortInTreeOrder).
    std::vector<TNodeData *> Candidates(Document &doc, TWhichTable table, double first, double last);
    // The same, less the indexed rows whose entry `keep` refuses by the row's
    // position and whole days, before the row itself is read: a paint of a few
    // chart rows passes over the other rows of its days unread.
    std::vector<TNodeData *> Candidates(Document &doc, TWhichTable table, double first, double last,
        const std::function<bool(std::int32_t position, double low, double high)> &keep);
    // The same over the indexed rows of `positions` (and those of no single
    // position) only, each named once: a paint of a few chart rows does not pass over the other
    // rows of its days at all. `keep` is asked as above; an indexed row of
    // another position is taken as refused.
    std::vector<TNodeData *> Candidates(Document &doc, TWhichTable table, double first, double last,
        const std::vector<std::int32_t> &positions,
        const std::function<bool(std::int32_t position, double low, double high)> &keep);
    static void SortInTreeOrder(std::vector<TNodeData *> &rows);
    // Whether every row of `table` the index holds (its valid rows) is a candidate
    // for the days first .. last: a view over the whole range then walks the
    // table's valid rows, already in tree order, instead of sorting candidates.
    bool CoversAll(Document &doc, TWhichTable table, double first, double last);
    // Indexed rows span at most this many days; longer ones are visited by every
    // question. A row's deadline arrow reaches as far as half its days.
    static constexpr double MaxIndexedSpan = 62;
    // Builds the index ahead of the first question, telling the row walk's
    // progress (the window may paint meanwhile): a built index is only brought
    // up to date by a paint. A build the rows changed under is dropped.
    void Prepare(Document &doc);

private:
    struct TEntry {
        double Low;
        double High;
        TNodeData *Node;
        // The row's position when the entry was made (a row whose position
        // changes is logged as changed, and its entry made anew).
        std::int32_t Position;
    };
    struct TTableIndex {
        // Per position (list 0 holds the rows of no single position, list p + 1
        // those of position p), each sorted by Low.
        std::vector<std::vector<TEntry>> ByPosition;
        std::vector<TEntry> OpenEnded; // end still to be derived; sorted by Low
        std::vector<TNodeData *> Always;
        // The extremes of ByPosition's and OpenEnded's days, for CoversAll (worked
        // out when asked after the rows changed).
        bool ExtremesKnown = false;
        double MinLow = 0;
        double MaxLow = 0;
        double MinHigh = 0;
    };

    // Where a row's entry belongs: its whole days, and the list it goes to.
    struct TPlace {
        double Low;
        double High;
        int List; // 0: ByPosition, 1: OpenEnded, 2: Always
    };
    static TPlace PlaceOf(TDateTime start, TDateTime end, TDateTime termin, bool recalcEnd);
    void Rebuild(Document &doc);
    using TTables = std::array<TTableIndex, kTableCount>;
    // The index of the document's rows; `walk`: telling the progress.
    static TTables Build(Document &doc, bool walk);
    void Take(Document &doc, TTables tables);
    // False when a change could not be followed (the index is then built anew).
    bool FollowChanges();
    bool Remove(TTableIndex &index, const TPlace &place, std::int32_t position, TNodeData *node);
    static std::vector<TEntry> &ListOf(TTableIndex &index, std::int32_t position);
    // The entries of `entries` whose days may meet first .. last and that `keep`
    // takes, added to `rows`.
    static void Collect(const std::vector<TEntry> &entries, double first, double last,
        const std::function<bool(std::int32_t, double, double)> &keep, std::vector<TNodeData *> &rows);
    void Insert(TTableIndex &index, const TPlace &place, TNodeData *node);
    // Built, or brought up to the document's rows.
    void EnsureBuilt(Document &doc);

    TRowChangeReader FReader;
    const Document *FDoc = nullptr;
    std::uint64_t FRevision = 0;
    bool FBuilt = false;
    bool FExtremesKnown = false; // the tables' flags are up to date with FRevision
    TTables FTables;
};
