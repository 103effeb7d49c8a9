#include "document/RowChangeLog.h"

#include <algorithm>
#include <unordered_map>

TRowSnapshot TRowSnapshot::Of(const TNodeData &node)
{
    return { node.nodeStart, node.nodeEnd, node.nodeTermin, node.nodePosition, node.NodeTable, true,
        node.nodeValid, node.RecalcEndOf };
}

TRowChangeLog::~TRowChangeLog()
{
    for (TRowChangeReader *reader : FReaders)
        reader->FLog = nullptr;
}

void TRowChangeLog::Append(const TEntry &entry)
{
    if (FReaders.empty())
        return;
    if (FEntries.size() >= FLimit) {
        // The readers still behind go back to a full pass.
        Reset();
        return;
    }
    FEntries.push_back(entry);
}

std::size_t TRowChangeLog::Before(const TNodeData &node)
{
    // Nobody reads: not even the snapshot is worth taking (every end derived
    // anew passes here once a row).
    if (FReaders.empty())
        return 0;
    const std::size_t kept = FEntries.size();
    Append({ const_cast<TNodeData *>(&node), TRowSnapshot::Of(node), false });
    return FEntries.size() > kept ? std::size_t(End()) : 0;
}

void TRowChangeLog::Added(TNodeData &node)
{
    Append({ &node, TRowSnapshot {}, false });
}

void TRowChangeLog::Removing(const TNodeData &node)
{
    Before(node);
    Append({ const_cast<TNodeData *>(&node), TRowSnapshot {}, true });
}

void TRowChangeLog::Retract(std::size_t mark)
{
    // Only the entry that mark names, and only while it is the last: an entry
    // logged meanwhile means the row did change on the way.
    if (mark != 0 && mark == End() && !FEntries.empty())
        FEntries.pop_back();
}

void TRowChangeLog::Reset()
{
    FBase += FEntries.size();
    FEntries.clear();
    ++FEpoch;
}

void TRowChangeLog::Trim()
{
    std::uint64_t oldest = End();
    for (const TRowChangeReader *reader : FReaders)
        if (reader->FEpoch == FEpoch && !reader->FFull)
            oldest = std::min(oldest, reader->FRead);
    if (oldest <= FBase)
        return;
    FEntries.erase(FEntries.begin(), FEntries.begin() + std::ptrdiff_t(oldest - FBase));
    FBase = oldest;
}

TRowChangeReader::~TRowChangeReader()
{
    if (FLog)
        std::erase(FLog->FReaders, this);
}

void TRowChangeReader::Attach(TRowChangeLog &log)
{
    if (FLog == &log)
        return;
    if (FLog)
        std::erase(FLog->FReaders, this);
    FLog = &log;
    log.FReaders.push_back(this);
    FFull = true;
}

void TRowChangeReader::Skip()
{
    if (!FLog)
        return;
    FRead = FLog->End();
    FEpoch = FLog->FEpoch;
    FFull = false;
    FLog->Trim();
}

bool TRowChangeReader::Take(std::vector<TRowChange> &changes)
{
    changes.clear();
    if (!FLog || FFull || FEpoch != FLog->FEpoch || FRead < FLog->FBase)
        return false;
    std::unordered_map<TNodeData *, std::size_t> seen;
    for (std::uint64_t i = FRead; i < FLog->End(); ++i) {
        const TRowChangeLog::TEntry &entry = FLog->FEntries[std::size_t(i - FLog->FBase)];
        const auto [it, fresh] = seen.try_emplace(entry.Node, changes.size());
        if (fresh)
            changes.push_back({ entry.Node, entry.Before, entry.Gone });
        else
            // The first entry holds the state the reader saw; the last says
            // whether the row is still there.
            changes[it->second].Gone = entry.Gone;
    }
    Skip();
    return true;
}
