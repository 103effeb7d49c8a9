#pragma once

#include "platform/Result.h"

#include <QString>
#include <QtGlobal>
#include <climits>
#include <cstdint>

class TXMLNode;
class TXMLTree;

// What the files of other instances may bring. Anyone who can write the sharing
// folder can write a transaction file, and every instance reads all of them: a
// file far beyond what any document needs would make every instance slow and
// cost it gigabytes. The limits follow the largest plausible document, a plan of
// about 1,000,000 tasks; docs/sharing.md gives the reasons for each. What lies
// beyond them is refused and logged.
struct TSharingLimits {
    // The text of one transaction file (a compressed file by the length its
    // header states, so it is refused before it is unpacked).
    qint64 fileBytes = qint64(256) << 20;
    // The records of one transaction file.
    qint64 records = 2'000'000;
    // The elements of one transaction file, counted in its text before its tree
    // is built (each costs many times its text once parsed): what the text limit
    // holds of the shortest elements this program writes, about 22 bytes each.
    qint64 elements = 12'000'000;
    // The elements of one record: its cells besides `__change__`, `__user__` and
    // `__table__`.
    int cellsPerRecord = 1'000;
    // One cell's text, a row ID or a writer's identity, in UTF-16 units.
    qsizetype textLength = qsizetype(1) << 20;
    // A row's change counter rises by one per change of the row, and a record
    // carries it. A record whose counter lies more than this far above the row's
    // counter as the other writers left it (the base's, and the highest accepted
    // of any other writer) is refused: it would lift the row so near the top of
    // the counter's range that no later change could count above it. A writer's
    // own records never raise the mark its next one is measured from, so a chain
    // of jumps just under the limit does not climb. Decided over all known
    // records of the row, so every instance refuses the same ones.
    std::int32_t counterJump = 1'000'000;
    // A record may lie this far above the row's highest counter without counting
    // as a jump (one instance's queued changes of a row merge into one record,
    // which carries the last one's counter). Larger jumps of all writers of a row
    // together may lift it by no more than counterJump: writers name themselves,
    // and two names taking turns would otherwise each measure from the other.
    std::int32_t counterSlack = 1'000;
    // No record may come within 2^20 of the counter's top (2^31-1): that room is
    // left for the row's own changes here, which never pass this mark either.
    std::int32_t counterCeiling = INT32_MAX - (1 << 20);
};

// Whether a transaction file's tree keeps within the limits (false and the reason
// when not).
platform::Status WithinSharingLimits(const TXMLTree &tree, const TSharingLimits &limits);
