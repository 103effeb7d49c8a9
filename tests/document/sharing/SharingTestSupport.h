#pragma once

#include "document/Document.h"
#include "document/sharing/DirWatch.h"
#include "document/xml/XMLFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

// One running instance on a shared document: its document and its watcher.
struct SharingInstance {
    std::unique_ptr<Document> doc;
    std::unique_ptr<TDirWatchThread> watcher;

    SharingInstance(const QString &path, const QString &identity)
    {
        doc = std::make_unique<Document>();
        doc->SetIdentity(identity);
        doc->SetCompressedSave(false); // readable files in failures
        watcher = std::make_unique<TDirWatchThread>(path, *doc);
        doc->SetDiffSink(watcher.get());
    }
    ~SharingInstance()
    {
        doc->SetDiffSink(nullptr);
        watcher.reset();
    }
    // Stores what is queued, then reads and applies what the others stored.
    void sync()
    {
        watcher->ForceStorePending();
        watcher->ForceLoadTransactions();
    }
    // What the owner does when the document is read again: a new document from
    // `copy` (none: the document file) and a new watcher that takes over the queue.
    void reload(const QString &path, const QString &copy = QString())
    {
        TNodeEventList events = watcher->TakePendingEvents();
        const QString identity = doc->Identity();
        doc->SetDiffSink(nullptr);
        watcher.reset();
        doc = std::make_unique<Document>();
        doc->SetIdentity(identity);
        doc->SetCompressedSave(false);
        if (!copy.isEmpty())
            doc->LoadFrom(copy);
        watcher = std::make_unique<TDirWatchThread>(path, *doc);
        doc->SetDiffSink(watcher.get());
        watcher->AdoptPendingEvents(std::move(events));
    }
    TNodeData *row(const QString &id) { return doc->FindNode(id); }
    QString cell(const QString &id, int column) { return doc->GetData(row(id), column); }
};

// A temporary folder holding "Plan.kez" with the text of an empty document.
struct SharedFolder {
    QTemporaryDir dir;
    QString path;

    SharedFolder()
        : path(dir.path() + "/Plan.kez")
    {
        FormatSettings() = TFormatSettings {};
        write(path, TXMLFile::DefaultText().toLatin1());
    }
    QString workingDir(int n = 0) const { return dir.path() + "/.kez/Plan.kez/" + QString::number(n) + "/"; }

    static void write(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
    }
    static QByteArray read(const QString &file)
    {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    // A transaction file of another instance, written by hand: `records` is the
    // inside of the diff element.
    void writeDiff(const QString &name, int index, const QString &records, int folder = 0) const
    {
        write(workingDir(folder) + name,
            ("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><document><setup /><data /><diff index=\""
                + QString::number(index) + "\">" + records + "</diff></document>")
                .toLatin1());
    }
};

// Record texts as the format describes them.
inline QString newRecord(const QString &id, int index, const QString &user, const QString &table = "tbTable")
{
    return QString("<new id=\"%1\" index=\"%2\"><__change__>0</__change__><__user__>%3</__user__>"
                   "<__table__>%4</__table__></new>")
        .arg(id)
        .arg(index)
        .arg(user, table);
}

inline QString changeRecord(
    const QString &id, int index, int change, const QString &user, const QString &cells)
{
    return QString(
        "<change id=\"%1\" index=\"%2\"><__change__>%3</__change__><__user__>%4</__user__>%5</change>")
        .arg(id)
        .arg(index)
        .arg(change)
        .arg(user, cells);
}

inline QString deleteRecord(const QString &id, int index, int change, const QString &user)
{
    return QString(
        "<delete id=\"%1\" index=\"%2\"><__change__>%3</__change__><__user__>%4</__user__></delete>")
        .arg(id)
        .arg(index)
        .arg(change)
        .arg(user);
}
