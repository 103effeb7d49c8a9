#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

// A wildcard pattern ("*" any run, "?" one character, letter case ignored)
// prepared once for testing many texts. It answers as WildcardMatch does, in
// time linear in the text whatever the pattern: the parts between stars are
// found leftmost one after the other, those holding "?" by a bit-parallel scan.
class TWildcardPattern {
public:
    explicit TWildcardPattern(const QString &pattern);

    // `upperText` is the text in upper case (TUpperText).
    bool Matches(QStringView upperText) const;

private:
    // A run of the pattern between stars.
    struct TPart {
        QString text;
        bool hasAny = false; // holds "?"
        // For the bit-parallel scan, `words` 64-bit words per character: bit i
        // set when part position i takes the character. Latin-1 by table, other
        // characters looked up among those of the part, the rest take `any`.
        int words = 0;
        std::vector<std::uint64_t> latin; // 256 * words
        std::vector<char16_t> otherChars;
        std::vector<std::uint64_t> otherMasks; // words per entry of otherChars
        std::vector<std::uint64_t> any; // positions of "?"
    };

    static TPart MakePart(const QString &text);
    static bool MatchesAt(const TPart &part, QStringView text, qsizetype at);
    // Where the part occurs first in text[from, to), or -1.
    static qsizetype Find(const TPart &part, QStringView text, qsizetype from, qsizetype to);
    static const std::uint64_t *MaskOf(const TPart &part, char16_t c);

    bool FHasStar = false;
    TPart FHead; // before the first star (the whole pattern without one)
    TPart FTail; // after the last star
    std::vector<TPart> FMiddle;
};
