#pragma once

// Readable failure messages for Qt strings in GoogleTest output.
#include <QString>
#include <QStringList>
#include <ostream>

// Long texts are shortened to their ends and their length.
inline void PrintTo(const QString &text, std::ostream *os)
{
    if (text.size() <= 200)
        *os << '"' << text.toStdString() << '"';
    else
        *os << '"' << (text.left(60) + "..." + text.right(20)).toStdString() << "\" (" << text.size()
            << " units)";
}

inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i)
        *os << (i ? ", \"" : "\"") << list[i].toStdString() << '"';
    *os << '}';
}
