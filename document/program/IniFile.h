#pragma once

#include "document/calendar/DateTime.h"
#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// The program's own ini files: settings, per-document settings, language files
// and the archive file. Section names and keys compare ignoring case; lines keep
// exactly what the file holds (no trimming around "=", no unquoting).
//
// Writes that cannot be stored as a plain line (see TMemIniFile::CanStore) are
// refused: the Write* functions then return false and change nothing, so a bad
// key or value can never break the file apart. UpdateFile returns the outcome of
// the file write; the caller must check it and keep its data when it failed.
class TCustomIniFile {
public:
    explicit TCustomIniFile(const QString &FileName);
    virtual ~TCustomIniFile();
    TCustomIniFile(const TCustomIniFile &) = delete;
    TCustomIniFile &operator=(const TCustomIniFile &) = delete;

    const QString &FileName() const { return FFileName; }

    virtual QString ReadString(
        const QString &Section, const QString &Ident, const QString &Default) const = 0;
    virtual bool WriteString(const QString &Section, const QString &Ident, const QString &Value) = 0;
    // "0x1F" and "0X1F" read as hexadecimal, anything else as decimal.
    virtual int ReadInteger(const QString &Section, const QString &Ident, int Default) const;
    virtual bool WriteInteger(const QString &Section, const QString &Ident, int Value);
    virtual bool ReadBool(const QString &Section, const QString &Ident, bool Default) const;
    virtual bool WriteBool(const QString &Section, const QString &Ident, bool Value);
    // Dates, times and floats in the user's formats; Default when missing, empty
    // or not convertible.
    virtual TDateTime ReadDate(const QString &Section, const QString &Ident, TDateTime Default) const;
    virtual TDateTime ReadDateTime(const QString &Section, const QString &Ident, TDateTime Default) const;
    virtual double ReadFloat(const QString &Section, const QString &Ident, double Default) const;
    virtual TDateTime ReadTime(const QString &Section, const QString &Ident, TDateTime Default) const;
    virtual bool WriteDate(const QString &Section, const QString &Ident, TDateTime Value);
    virtual bool WriteDateTime(const QString &Section, const QString &Ident, TDateTime Value);
    virtual bool WriteFloat(const QString &Section, const QString &Ident, double Value);
    virtual bool WriteTime(const QString &Section, const QString &Ident, TDateTime Value);
    // Key names of a section (lines without "=" carry no key).
    virtual void ReadSection(const QString &Section, QStringList &Strings) const = 0;
    virtual void ReadSections(QStringList &Strings) const = 0;
    // The section's lines as they stand.
    virtual void ReadSectionValues(const QString &Section, QStringList &Strings) const = 0;
    virtual void EraseSection(const QString &Section) = 0;
    virtual void DeleteKey(const QString &Section, const QString &Ident) = 0;
    [[nodiscard]] virtual platform::WriteResult UpdateFile() = 0;

    bool ValueExists(const QString &Section, const QString &Ident) const;

private:
    QString FFileName;
};

class TMemIniFile : public TCustomIniFile {
public:
    // The most text an ini file may hold: old documents are ini files, so as much
    // as a document may hold. A larger file, or a compressed stream stating more,
    // is not read (Loaded says so).
    static constexpr qint64 MaxFileBytes = qint64(1) << 30;

    // Reads the file when the name is not empty and the file exists; a file that is
    // a valid compressed stream is decompressed first, anything else is plain text.
    // Only a plain file is read, without waiting on a pipe. With Links::Refuse (files
    // beside a document or in its sharing folder) a symbolic link in the file's
    // place is not read, and UpdateFile refuses to replace anything but a plain file.
    explicit TMemIniFile(const QString &FileName = {}, platform::Links Links = platform::Links::Follow);
    ~TMemIniFile() override;

    QString ReadString(const QString &Section, const QString &Ident, const QString &Default) const override;
    bool WriteString(const QString &Section, const QString &Ident, const QString &Value) override;
    void ReadSection(const QString &Section, QStringList &Strings) const override;
    void ReadSections(QStringList &Strings) const override;
    void ReadSectionValues(const QString &Section, QStringList &Strings) const override;
    void EraseSection(const QString &Section) override;
    void DeleteKey(const QString &Section, const QString &Ident) override;
    void Clear();

    // The whole text as lines: "[name]", the section's lines, one empty line.
    void GetStrings(QStringList &List) const;
    // Replaces everything by the sections parsed from List (items holding line
    // breaks are split into their lines, exactly as if read from a file).
    void SetStrings(const QStringList &List);

    // Writes the whole file (atomically). The bytes are Windows-1252, or UTF-8 when
    // the text holds a character outside that code page (or when its Windows-1252
    // bytes would read back as UTF-8); the readers accept both.
    [[nodiscard]] platform::WriteResult UpdateFile() override;
    // Compressed: the same bytes as one compressed stream; plain text when the
    // compression declines.
    [[nodiscard]] platform::WriteResult UpdateFile(bool Compressed);

    // Whether Ident=Value can be stored as one line that reads back as the same key
    // and value: no line break anywhere, no "=" in Ident, Ident not starting with ";"
    // or "[", no line break in Section.
    static bool CanStore(const QString &Section, const QString &Ident, const QString &Value);

    // Fails, with the reason, when the file existed but could not be read; the
    // store is then empty, and writing it back would replace the unread file.
    const platform::Status &Loaded() const { return FLoaded; }

    // Replaces everything by the text of a file's bytes: a compressed stream is
    // decompressed first; the text is UTF-8 when valid as such, else Windows-1252.
    void LoadBytes(const QByteArray &Bytes);
    // The bytes UpdateFile writes in plain form.
    QByteArray FileBytes() const;

private:
    struct TSection;
    TSection *FindSection(const QString &Section) const;
    TSection &AddSection(const QString &Name);
    void Reindex();
    void AddLine(const QString &Line, TSection *&Current);
    void LoadValues();

    platform::Links FLinks;
    std::vector<std::unique_ptr<TSection>> FSections; // file order
    QHash<QString, TSection *> FIndex; // case-folded name -> first section of that name
    platform::Status FLoaded;
};
