#pragma once

#include "document/DocumentTypes.h"

#include <cstdint>
#include <vector>

// What a row looked like before a change the chart's layout passes follow
// (its dates, position, validity, whether its end is to be derived), or that
// it did not exist yet.
struct TRowSnapshot {
    TDateTime Start = 0;
    TDateTime End = 0;
    TDateTime Termin = 0;
    std::int32_t Position = -1;
    TWhichTable Table = tbTable;
    bool Existed = false;
    bool Valid = false;
    bool RecalcEndOf = false;

    static TRowSnapshot Of(const TNodeData &node);
};

// The rows changed since a reader last looked: each row once, with the state
// it had then. A row that is gone is named by its address only, which must not
// be followed; a row made later at the same address counts as that row changed.
struct TRowChange {
    TNodeData *Node = nullptr;
    TRowSnapshot Before;
    bool Gone = false;
};

class TRowChangeReader;

// The rows whose dates, position or validity changed, in the order they
// changed, for the views that keep what they derived from the rows between
// passes and follow only what changed. Each reader has its own place in the
// log; what every reader has seen is dropped. A reader that falls too far
// behind, or any change of the whole (a load, every end derived anew, other
// columns), sends every reader back to a full pass.
class TRowChangeLog {
public:
    TRowChangeLog() = default;
    ~TRowChangeLog();
    TRowChangeLog(const TRowChangeLog &) = delete;
    TRowChangeLog &operator=(const TRowChangeLog &) = delete;

    // The row is about to change; returns a mark for Retract.
    std::size_t Before(const TNodeData &node);
    // The row was made (nothing of it existed before).
    void Added(TNodeData &node);
    // The row is about to be freed.
    void Removing(const TNodeData &node);
    // Withdraws the entry Before returned when nothing was logged after it
    // (the row turned out unchanged).
    void Retract(std::size_t mark);
    // Everything may have changed: every reader does a full pass next.
    void Reset();
    // Past this many entries a reader is sent to a full pass (a walk over every
    // row is then cheaper than following each change).
    void SetLimit(std::size_t limit) { FLimit = limit; }
    bool HasReaders() const { return !FReaders.empty(); }

private:
    friend class TRowChangeReader;
    struct TEntry {
        TNodeData *Node;
        TRowSnapshot Before;
        bool Gone;
    };
    void Append(const TEntry &entry);
    void Trim();
    std::uint64_t End() const { return FBase + FEntries.size(); }

    std::vector<TEntry> FEntries;
    // The number of the first entry kept.
    std::uint64_t FBase = 0;
    std::uint64_t FEpoch = 0;
    std::size_t FLimit = 4096;
    std::vector<TRowChangeReader *> FReaders;
};

// One reader's place in a log, for its lifetime (or the log's, if shorter).
class TRowChangeReader {
public:
    TRowChangeReader() = default;
    explicit TRowChangeReader(TRowChangeLog &log) { Attach(log); }
    ~TRowChangeReader();
    TRowChangeReader(const TRowChangeReader &) = delete;
    TRowChangeReader &operator=(const TRowChangeReader &) = delete;

    // Starts reading `log`; until the next Skip, a full pass is due.
    void Attach(TRowChangeLog &log);
    bool AttachedTo(const TRowChangeLog &log) const { return FLog == &log; }
    // The rows changed since the last Take or Skip, each once in the order of
    // their first change. False when they are not known one by one: a full
    // pass is due (and `changes` is empty).
    bool Take(std::vector<TRowChange> &changes);
    // A full pass has seen everything logged so far.
    void Skip();

private:
    friend class TRowChangeLog;
    TRowChangeLog *FLog = nullptr;
    std::uint64_t FRead = 0;
    std::uint64_t FEpoch = 0;
    bool FFull = true;
};
