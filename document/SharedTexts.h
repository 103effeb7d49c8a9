#pragma once

#include <QSet>
#include <QString>

// Equal cell texts share one string. A plan's cells repeat a few values over and
// over (positions, dates, lengths, states), and a separate copy of each in every
// row costs several times the text's size. The pool hands out a stored equal
// text when it holds one and keeps new short texts; it holds a bounded number
// and forgets those no cell uses any more when it is full. Main thread only.
class TSharedTexts {
public:
    // `text`, or an equal text that shares its storage with other cells; never a
    // text with spare room (see Exact).
    QString Share(const QString &text);
    void Clear();
    qsizetype Count() const { return FTexts.size(); }

    // Texts longer than this are seldom repeated: they are kept as they come.
    static constexpr qsizetype kLongest = 48;
    static constexpr qsizetype kMostTexts = 32768;

    // `text` in storage of exactly its size. A text read from a file may be a
    // piece of a large block of the parser's, which it would keep whole while it
    // lives; one built up piece by piece may carry spare room.
    static QString Exact(const QString &text);

private:
    // Drops the texts only the pool still holds.
    void Sweep();

    QSet<QString> FTexts;
    // New texts turned away since the pool was last full (a sweep is due after many).
    qsizetype FTurnedAway = 0;
};
