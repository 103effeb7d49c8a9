#pragma once

#include <QString>
#include <QStringView>
#include <cstring>

// A string with a precomputed hash, so that names and row IDs compare by hash first.
class THashedString {
public:
    THashedString() = default;
    THashedString(const QString &value)
        : FValue(value)
        , FHash(HashOf(value))
    { }
    // For callers that already hold the hash of `value` (HashOf(value) == hash).
    THashedString(QString value, quint32 hash)
        : FValue(std::move(value))
        , FHash(hash)
    { }

    const QString &Value() const { return FValue; }
    void SetValue(const QString &value)
    {
        FValue = value;
        FHash = HashOf(value);
    }
    quint32 Hash() const { return FHash; }

    // Equal hashes and equal texts (case-sensitive).
    bool HashEquals(const THashedString &other) const
    {
        if (FHash != other.FHash || FValue.size() != other.FValue.size())
            return false;
        // Inline: the library's equality is a call into its general comparison.
        const QChar *a = FValue.constData();
        const QChar *b = other.FValue.constData();
        return a == b || std::memcmp(a, b, std::size_t(FValue.size()) * sizeof(QChar)) == 0;
    }
    bool StrEquals(QStringView text) const { return FValue == text; }

    // h := 5381, then h := h * 33 xor c for each UTF-16 unit, in 32-bit arithmetic.
    static quint32 HashOf(QStringView text)
    {
        quint32 h = 5381;
        for (const QChar c : text)
            h = (h * 33u) ^ c.unicode();
        return h;
    }

private:
    QString FValue;
    quint32 FHash = 5381;
};
