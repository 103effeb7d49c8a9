// The end check of a soak of several instances on one document: their table
// dumps agree, and no edit an instance had stored before it was killed is
// missing. Each instance logs its edits before making them ("new ID TABLE",
// "change ID COLUMN VALUE", "delete ID"), a line "stored" once every edit
// before it is on disk, and "start" at each run.
#pragma once

#include <QFile>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace soakcheck {

// id -> table, then the cells by column.
inline std::map<QString, QStringList> ParseDump(const QString &text)
{
    std::map<QString, QStringList> rows;
    for (const QString &line : text.split('\n', Qt::SkipEmptyParts)) {
        QStringList fields = line.split('\t');
        rows[fields.takeFirst()] = fields;
    }
    return rows;
}

// The lines in which two dumps differ, for a failure message that can be read.
inline std::string DumpDifference(const QString &a, const QString &b)
{
    const QStringList x = a.split('\n'), y = b.split('\n');
    std::string text;
    int shown = 0;
    for (qsizetype i = 0; i < std::max(x.size(), y.size()) && shown < 10; ++i) {
        if (x.value(i) != y.value(i)) {
            text += "\n  - " + x.value(i).toStdString() + "\n  + " + y.value(i).toStdString();
            ++shown;
        }
    }
    return text;
}

struct Edit {
    QString kind, id;
    int column = -1;
    QString value;
    bool stored = false; // a "stored" line of the same run follows it
};

// Every run's edits of one instance, in order; `percentEncoded` when the values
// were written percent-encoded.
inline std::vector<Edit> ReadEdits(const QString &path, bool percentEncoded)
{
    std::vector<Edit> edits;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return edits;
    std::size_t runStart = 0;
    for (const QString &line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split('\t');
        if (f[0] == "start") {
            runStart = edits.size();
        } else if (f[0] == "stored") {
            for (std::size_t i = runStart; i < edits.size(); ++i)
                edits[i].stored = true;
        } else if (f[0] == "change" && f.size() >= 4) {
            const QString raw = f.mid(3).join('\t');
            edits.push_back({ f[0], f[1], f[2].toInt(),
                percentEncoded ? QUrl::fromPercentEncoding(raw.toLatin1()) : raw });
        } else if (f.size() >= 2) {
            edits.push_back({ f[0], f[1], -1, {} });
        }
    }
    return edits;
}

// What the final tables lack of the instances' stored edits. A cell only one
// instance wrote holds its last stored value or a later one of its own; a cell
// several wrote holds one of their values; a stored new row exists unless
// someone deleted it; a stored delete holds. The ID of a deleted row may be
// given out again after a restart (the counter starts from the rows there
// are): such IDs are not checked. `storedEdits` counts the stored edits.
inline std::vector<std::string> MissingStoredEdits(
    const std::map<QString, QStringList> &rows, const std::vector<std::vector<Edit>> &all, int &storedEdits)
{
    std::vector<std::string> missing;
    std::map<std::pair<QString, int>, std::set<std::size_t>> writers;
    std::map<std::pair<QString, int>, QSet<QString>> values;
    std::set<QString> deleted;
    std::map<QString, int> newRows;
    for (std::size_t i = 0; i < all.size(); ++i) {
        for (const Edit &e : all[i]) {
            if (e.kind == "change") {
                writers[{ e.id, e.column }].insert(i);
                values[{ e.id, e.column }].insert(e.value);
            } else if (e.kind == "delete") {
                deleted.insert(e.id);
            } else {
                ++newRows[e.id];
            }
        }
    }
    storedEdits = 0;
    for (const std::vector<Edit> &edits : all) {
        std::map<std::pair<QString, int>, std::size_t> lastStored;
        for (std::size_t k = 0; k < edits.size(); ++k) {
            const Edit &e = edits[k];
            storedEdits += e.stored;
            if (e.kind == "new") {
                if (e.stored && !deleted.count(e.id) && !rows.count(e.id))
                    missing.push_back("stored new row missing: " + e.id.toStdString());
            } else if (e.kind == "delete" && e.stored && newRows[e.id] <= 1) {
                if (rows.count(e.id))
                    missing.push_back("stored delete undone: " + e.id.toStdString());
            } else if (e.kind == "change" && e.stored) {
                lastStored[{ e.id, e.column }] = k;
            }
        }
        for (const auto &[cell, from] : lastStored) {
            const auto row = rows.find(cell.first);
            if (row == rows.end() || newRows[cell.first] > 1)
                continue;
            const QString final = row->second.value(1 + cell.second);
            if (writers[cell].size() > 1) {
                if (!values[cell].contains(final))
                    missing.push_back(cell.first.toStdString() + " column " + std::to_string(cell.second)
                        + ": " + final.toStdString() + " was written by nobody");
                continue;
            }
            QStringList allowed;
            for (std::size_t k = from; k < edits.size(); ++k) {
                if (edits[k].kind == "change" && edits[k].id == cell.first && edits[k].column == cell.second)
                    allowed << edits[k].value;
            }
            if (!allowed.contains(final))
                missing.push_back(cell.first.toStdString() + " column " + std::to_string(cell.second) + ": "
                    + final.toStdString() + " not in " + allowed.join(" | ").toStdString());
        }
    }
    return missing;
}

} // namespace soakcheck
