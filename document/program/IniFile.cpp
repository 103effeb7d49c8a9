#include "document/program/IniFile.h"

#include "document/program/IniCompression.h"
#include "platform/Windows1252.h"

#include <QFile>
#include <QStringDecoder>
#include <limits>

namespace {

QString folded(const QString &text)
{
    return text.toCaseFolded();
}

// The key of a line: the text before its first "=", or nothing for a line without one.
bool keyOfLine(const QString &line, QStringView &key)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    key = QStringView(line).left(eq);
    return true;
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Hexadecimal up to 32 bits (0xFFFFFFFF reads as -1, as colour values are stored),
// or decimal within the int range with an optional sign and leading blanks.
bool parseInteger(const QString &text, int &out)
{
    if (text.size() > 2 && text[0] == QLatin1Char('0')
        && (text[1] == QLatin1Char('x') || text[1] == QLatin1Char('X'))) {
        quint64 value = 0;
        for (qsizetype i = 2; i < text.size(); ++i) {
            const int d = hexDigit(text[i]);
            if (d < 0)
                return false;
            value = value * 16 + quint64(d);
            if (value > 0xFFFFFFFFull)
                return false;
        }
        out = int(quint32(value));
        return true;
    }
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');
    if (i == text.size())
        return false;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < '0' || u > '9')
            return false;
        value = value * 10 + (u - '0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return false;
    out = int(value);
    return true;
}

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)QString(utf8(bytes));
    return !utf8.hasError();
}

QByteArray encodeText(const QString &text)
{
    bool fits = true;
    bool high = false;
    for (const QChar c : text) {
        const int b = platform::windows1252ByteOf(c.unicode());
        if (b < 0) {
            fits = false;
            break;
        }
        high = high || b >= 0x80;
    }
    if (fits) {
        QByteArray bytes = platform::encodeWindows1252(text);
        // Bytes that happen to form valid UTF-8 would be read back as UTF-8.
        if (!high || !isValidUtf8(bytes))
            return bytes;
    }
    return text.toUtf8();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TCustomIniFile

TCustomIniFile::TCustomIniFile(const QString &FileName)
    : FFileName(FileName)
{ }

TCustomIniFile::~TCustomIniFile() = default;

int TCustomIniFile::ReadInteger(const QString &Section, const QString &Ident, int Default) const
{
    int value = 0;
    return parseInteger(ReadString(Section, Ident, QString()), value) ? value : Default;
}

bool TCustomIniFile::WriteInteger(const QString &Section, const QString &Ident, int Value)
{
    return WriteString(Section, Ident, QString::number(Value));
}

bool TCustomIniFile::ReadBool(const QString &Section, const QString &Ident, bool Default) const
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

bool TCustomIniFile::WriteBool(const QString &Section, const QString &Ident, bool Value)
{
    return WriteString(Section, Ident, Value ? QStringLiteral("1") : QStringLiteral("0"));
}

namespace {

// A missing, empty or unconvertible value gives the default.
template <typename T, typename Convert>
T readConverted(
    const TCustomIniFile &ini, const QString &Section, const QString &Ident, T Default, Convert convert)
{
    T value = 0;
    const QString text = ini.ReadString(Section, Ident, QString());
    return !text.isEmpty() && convert(text, value) ? value : Default;
}

} // namespace

TDateTime TCustomIniFile::ReadDate(const QString &Section, const QString &Ident, TDateTime Default) const
{
    return readConverted(*this, Section, Ident, Default, TryStrToDate);
}

TDateTime TCustomIniFile::ReadDateTime(const QString &Section, const QString &Ident, TDateTime Default) const
{
    return readConverted(*this, Section, Ident, Default, TryStrToDateTime);
}

double TCustomIniFile::ReadFloat(const QString &Section, const QString &Ident, double Default) const
{
    return readConverted(*this, Section, Ident, Default, TryStrToFloat);
}

TDateTime TCustomIniFile::ReadTime(const QString &Section, const QString &Ident, TDateTime Default) const
{
    return readConverted(*this, Section, Ident, Default, TryStrToTime);
}

bool TCustomIniFile::WriteDate(const QString &Section, const QString &Ident, TDateTime Value)
{
    return WriteString(Section, Ident, DateToStr(Value));
}

bool TCustomIniFile::WriteDateTime(const QString &Section, const QString &Ident, TDateTime Value)
{
    return WriteString(Section, Ident, DateTimeToStr(Value));
}

bool TCustomIniFile::WriteFloat(const QString &Section, const QString &Ident, double Value)
{
    return WriteString(Section, Ident, FloatToStr(Value));
}

bool TCustomIniFile::WriteTime(const QString &Section, const QString &Ident, TDateTime Value)
{
    return WriteString(Section, Ident, TimeToStr(Value));
}

bool TCustomIniFile::ValueExists(const QString &Section, const QString &Ident) const
{
    QStringList keys;
    ReadSection(Section, keys);
    for (const QString &key : keys) {
        if (key.compare(Ident, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// TMemIniFile

struct TMemIniFile::TSection {
    QString name;
    QStringList lines;
    QHash<QString, qsizetype> keys; // case-folded key -> first line holding it

    void addLine(const QString &line)
    {
        lines.append(line);
        QStringView key;
        if (keyOfLine(line, key)) {
            const QString k = folded(key.toString());
            if (!keys.contains(k))
                keys.insert(k, lines.size() - 1);
        }
    }
    void reindex()
    {
        const QStringList all = std::move(lines);
        lines.clear();
        keys.clear();
        for (const QString &line : all)
            addLine(line);
    }
    qsizetype find(const QString &ident) const { return keys.value(folded(ident), -1); }
};

TMemIniFile::TMemIniFile(const QString &FileName, platform::Links Links)
    : TCustomIniFile(FileName)
    , FLinks(Links)
{
    if (!FileName.isEmpty())
        LoadValues();
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::LoadValues()
{
    // A stream states at most 4 GB; the header's eight bytes and its blocks' two
    // each come on top of the text.
    const platform::ReadResult read
        = platform::readRegularFile(FileName(), FLinks, MaxFileBytes + MaxFileBytes / 16384 + 16);
    if (read.code() == platform::ReadFailure::Missing)
        return;
    if (!read) {
        FLoaded = platform::Status::failure(read.reason());
        return;
    }
    LoadBytes(read.value());
}

void TMemIniFile::LoadBytes(const QByteArray &Bytes)
{
    // A compressed stream is judged by the length its header states, before it is
    // unpacked (its runs unpack to a thousand times their size).
    if (const qint64 stated = ini_compression::statedLength(Bytes); stated > MaxFileBytes) {
        Clear();
        FLoaded = platform::Status::failure(QStringLiteral("%1 states %2 bytes of text, more than %3")
                                                .arg(FileName())
                                                .arg(stated)
                                                .arg(MaxFileBytes));
        return;
    }
    QByteArray plain;
    const bool compressed = ini_compression::tryDecompress(Bytes, plain);
    SetStrings(QStringList { platform::decodeUtf8OrWindows1252(compressed ? plain : Bytes) });
}

TMemIniFile::TSection *TMemIniFile::FindSection(const QString &Section) const
{
    return FIndex.value(folded(Section), nullptr);
}

TMemIniFile::TSection &TMemIniFile::AddSection(const QString &Name)
{
    FSections.push_back(std::make_unique<TSection>());
    TSection &section = *FSections.back();
    section.name = Name;
    const QString key = folded(Name);
    // A repeated section name in a file stays as it is, but look-ups see the first.
    if (!FIndex.contains(key))
        FIndex.insert(key, &section);
    return section;
}

void TMemIniFile::Reindex()
{
    FIndex.clear();
    for (const auto &section : FSections) {
        const QString key = folded(section->name);
        if (!FIndex.contains(key))
            FIndex.insert(key, section.get());
    }
}

QString TMemIniFile::ReadString(const QString &Section, const QString &Ident, const QString &Default) const
{
    const TSection *section = FindSection(Section);
    if (!section)
        return Default;
    const qsizetype i = section->find(Ident);
    if (i < 0)
        return Default;
    const QString &line = section->lines[i];
    return line.mid(line.indexOf(QLatin1Char('=')) + 1);
}

bool TMemIniFile::CanStore(const QString &Section, const QString &Ident, const QString &Value)
{
    return !hasLineBreak(Section) && !hasLineBreak(Ident) && !hasLineBreak(Value)
        && !Ident.contains(QLatin1Char('=')) && !Ident.startsWith(QLatin1Char(';'))
        && !Ident.startsWith(QLatin1Char('['));
}

bool TMemIniFile::WriteString(const QString &Section, const QString &Ident, const QString &Value)
{
    if (!CanStore(Section, Ident, Value))
        return false;
    TSection *section = FindSection(Section);
    if (!section)
        section = &AddSection(Section);
    const QString line = Ident + QLatin1Char('=') + Value;
    const qsizetype i = section->find(Ident);
    if (i >= 0)
        section->lines[i] = line; // same key, so the index stays valid
    else
        section->addLine(line);
    return true;
}

void TMemIniFile::ReadSection(const QString &Section, QStringList &Strings) const
{
    Strings.clear();
    const TSection *section = FindSection(Section);
    if (!section)
        return;
    for (const QString &line : section->lines) {
        QStringView key;
        if (keyOfLine(line, key))
            Strings.append(key.toString());
    }
}

void TMemIniFile::ReadSections(QStringList &Strings) const
{
    Strings.clear();
    for (const auto &section : FSections)
        Strings.append(section->name);
}

void TMemIniFile::ReadSectionValues(const QString &Section, QStringList &Strings) const
{
    Strings.clear();
    if (const TSection *section = FindSection(Section))
        Strings = section->lines;
}

void TMemIniFile::EraseSection(const QString &Section)
{
    const TSection *section = FindSection(Section);
    if (!section)
        return;
    std::erase_if(FSections, [section](const auto &s) { return s.get() == section; });
    Reindex();
}

void TMemIniFile::DeleteKey(const QString &Section, const QString &Ident)
{
    TSection *section = FindSection(Section);
    if (!section)
        return;
    const qsizetype i = section->find(Ident);
    if (i < 0)
        return;
    section->lines.removeAt(i);
    section->reindex();
}

void TMemIniFile::Clear()
{
    FSections.clear();
    FIndex.clear();
}

void TMemIniFile::GetStrings(QStringList &List) const
{
    List.clear();
    for (const auto &section : FSections) {
        List.append(QLatin1Char('[') + section->name + QLatin1Char(']'));
        List.append(section->lines);
        List.append(QString());
    }
}

void TMemIniFile::AddLine(const QString &Line, TSection *&Current)
{
    if (Line.isEmpty() || Line.startsWith(QLatin1Char(';')))
        return;
    if (Line.startsWith(QLatin1Char('[')) && Line.endsWith(QLatin1Char(']')))
        Current = &AddSection(Line.mid(1, Line.size() - 2));
    else if (Current)
        Current->addLine(Line);
}

void TMemIniFile::SetStrings(const QStringList &List)
{
    Clear();
    TSection *current = nullptr;
    for (const QString &item : List) {
        // Lines end at CR LF, LF or CR alone.
        qsizetype start = 0;
        const qsizetype n = item.size();
        for (qsizetype i = 0; i < n; ++i) {
            const QChar c = item[i];
            if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
                continue;
            AddLine(item.mid(start, i - start), current);
            if (c == QLatin1Char('\r') && i + 1 < n && item[i + 1] == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
        if (start < n)
            AddLine(item.mid(start), current);
    }
}

QByteArray TMemIniFile::FileBytes() const
{
    QStringList lines;
    GetStrings(lines);
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return encodeText(text);
}

platform::WriteResult TMemIniFile::UpdateFile()
{
    return UpdateFile(false);
}

platform::WriteResult TMemIniFile::UpdateFile(bool Compressed)
{
    if (FileName().isEmpty())
        return platform::WriteResult::failure(QStringLiteral("The ini store has no file name."));
    // Renaming over a link replaces the link, not its target; still, what another
    // user put in the file's place is not the file this store read.
    if (FLinks == platform::Links::Refuse && !platform::isRegularFileOrMissing(FileName()))
        return platform::WriteResult::failure(
            QStringLiteral("%1 is not a plain file of its own").arg(FileName()));
    const QByteArray plain = FileBytes();
    QByteArray packed;
    if (Compressed && ini_compression::tryCompress(plain, packed))
        return platform::writeFileAtomically(FileName(), packed);
    return platform::writeFileAtomically(FileName(), plain);
}
