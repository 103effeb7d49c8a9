#include "components/gui/TreeText.h"

#include "components/gui/GlyphRunCache.h"
#include "platform/gui/Fonts.h"
#include "platform/gui/TextDraw.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <limits>
#include <vector>

namespace {

const QString Ellipsis = QStringLiteral("...");

// True when cutting S before index `at` would separate a surrogate pair.
bool SplitsPair(const QString &s, qsizetype at)
{
    return at > 0 && at < s.size() && s[at - 1].isHighSurrogate() && s[at].isLowSurrogate();
}

TTextWidth PainterWidth(const QPainter &dc)
{
    return [metrics = QFontMetrics(dc.font(), dc.device())](
               const QString &s) { return metrics.horizontalAdvance(s); };
}

QString TrimBlanks(const QString &s)
{
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && s[first].unicode() <= ' ')
        ++first;
    while (last > first && s[last - 1].unicode() <= ' ')
        --last;
    return s.mid(first, last - first);
}

// How many units of `word` go on a line of `width` when the word does not fit
// whole: the longest part from its start (from its end under RTL) of at least
// two units that fits, else one character.
qsizetype SplitLength(const TTextWidth &measure, const QString &word, int width, bool rtl)
{
    const qsizetype length = word.size();
    for (qsizetype k = length - 1; k >= 2; --k) {
        const qsizetype cut = rtl ? length - k : k;
        if (SplitsPair(word, cut))
            continue;
        if (measure(rtl ? word.right(k) : word.left(k)) <= width)
            return k;
    }
    const qsizetype one = rtl ? length - 1 : 1;
    return std::min<qsizetype>(length, SplitsPair(word, one) ? 2 : 1);
}

QStringList SplitLines(const QString &text, unsigned format)
{
    if (format & DT_SINGLELINE)
        return text.isEmpty() ? QStringList() : QStringList { text };
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n' && c != QChar(0x2028))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

} // namespace

QString ShortenString(const TTextWidth &Measure, const QString &S, int Width, int EllipsisWidth)
{
    if (S.isEmpty() || Width <= 0)
        return {};
    if (EllipsisWidth == 0)
        EllipsisWidth = Measure(Ellipsis);
    if (Width <= EllipsisWidth)
        return {};
    // Only a prefix can show: no character is narrower than the narrowest one
    // met (taken as one pixel at least), so a prefix of more than Width divided
    // by its advance characters is wider than the cell. A text of any length
    // then costs what the cell's width costs.
    // (A text of no more characters than the cell has pixels is searched whole.)
    qsizetype reach = S.size() <= Width ? S.size() : 0;
    int narrowest = std::numeric_limits<int>::max();
    for (qsizetype characters = 1; reach < S.size(); ++characters) {
        const qsizetype units = SplitsPair(S, reach + 1) ? 2 : 1;
        narrowest = std::min(narrowest, std::max(1, Measure(S.mid(reach, units))));
        reach += units;
        if (characters > Width / narrowest)
            break;
    }
    // The lengths a prefix may have: 0 to Length(S) - 1 except cuts inside a pair.
    std::vector<qsizetype> lengths;
    for (qsizetype k = 0; k <= std::min(reach, S.size() - 1); ++k)
        if (!SplitsPair(S, k))
            lengths.push_back(k);
    std::size_t low = 0;
    std::size_t high = lengths.size() - 1;
    while (low < high) {
        const std::size_t n = (low + high + 1) / 2;
        if (Measure(S.left(lengths[n])) + EllipsisWidth <= Width)
            low = n;
        else
            high = n - 1;
    }
    return S.left(lengths[low]) + Ellipsis;
}

QString ShortenString(QPainter &DC, const QString &S, int Width, int EllipsisWidth)
{
    return ShortenString(PainterWidth(DC), S, Width, EllipsisWidth);
}

QString WrapString(const TTextWidth &Measure, const QString &S, const TRect &Bounds, bool RTL)
{
    const QString text = TrimBlanks(S);
    if (text.isEmpty())
        return {};
    const int width = Bounds.Right - Bounds.Left;
    QStringList words = text.split(u' ');
    const qsizetype count = words.size();

    QStringList lines;
    const auto endLine = [&lines, RTL](const QString &line) {
        // Lines keep the text's order whichever side they are filled from.
        if (RTL)
            lines.prepend(line);
        else
            lines.append(line);
    };
    QString line;
    bool started = false;
    qsizetype taken = 0;
    while (taken < count) {
        QString &word = words[RTL ? count - 1 - taken : taken];
        if (!started && word.isEmpty()) {
            started = true; // an empty word (two spaces in a row) takes no room
            ++taken;
            continue;
        }
        const QString candidate = !started ? word : RTL ? word + u' ' + line : line + u' ' + word;
        if (Measure(candidate) <= width) {
            line = candidate;
            started = true;
            ++taken;
        } else if (started) {
            endLine(line);
            line.clear();
            started = false;
        } else {
            const qsizetype k = SplitLength(Measure, word, width, RTL);
            endLine(RTL ? word.right(k) : word.left(k));
            word = RTL ? word.left(word.size() - k) : word.mid(k);
            if (word.isEmpty())
                ++taken;
        }
    }
    if (started)
        endLine(line);
    return lines.join(u'\n');
}

QString WrapString(QPainter &DC, const QString &S, const TRect &Bounds, bool RTL, unsigned DrawFormat)
{
    const auto measure = [&DC, &Bounds, DrawFormat](const QString &line) {
        TRect r = Bounds;
        GetStringDrawRect(DC, line, r, DrawFormat);
        return r.Right - r.Left;
    };
    return WrapString(measure, S, Bounds, RTL);
}

void GetStringDrawRect(QPainter &DC, const QString &S, TRect &Bounds, unsigned DrawFormat)
{
    Bounds.Right = Bounds.Left + 1;
    Bounds.Bottom = Bounds.Top + 1;
    DrawTextEx(DC, S, Bounds, DrawFormat | DT_CALCRECT);
}

bool DrawSingleLine(QPainter &DC, const QString &Text, const TRect &R, unsigned Format, int Width, int Ascent,
    int Height, TGlyphRunCache *Runs)
{
    constexpr unsigned handled
        = DT_SINGLELINE | DT_NOPREFIX | DT_CENTER | DT_RIGHT | DT_VCENTER | DT_RTLREADING;
    if ((Format & ~handled) != 0 || !(Format & DT_SINGLELINE) || !(Format & DT_NOPREFIX)
        || Text.contains(u'\r') || Text.contains(u'\n'))
        return false;
    int x = R.Left;
    if (Format & DT_CENTER)
        x = R.Left + (R.Width() - Width) / 2;
    else if (Format & DT_RIGHT)
        x = R.Right - Width;
    const int y = (Format & DT_VCENTER) ? R.Top + (R.Height() - Height) / 2 : R.Top;
    // A line that fits needs no clipping of its own.
    const bool clip = Width > R.Width() || Height > R.Height();
    const bool rtl = Format & DT_RTLREADING;
    if (clip || rtl) {
        DC.save();
        if (clip)
            DC.setClipRect(ToQRect(R), Qt::IntersectClip);
        if (rtl)
            DC.setLayoutDirection(Qt::RightToLeft);
    }
    if (rtl || !Runs || !Runs->Draw(DC, x, y + Ascent, Text))
        DC.drawText(x, y + Ascent, Text);
    if (clip || rtl)
        DC.restore();
    return true;
}

void DrawTextW(QPainter &DC, const QString &Text, TRect &R, unsigned Format, bool AdjustRight)
{
    const QFontMetrics metrics(DC.font(), DC.device());
    const int lineHeight = metrics.height();
    const QStringList lines = SplitLines(Text, Format);
    int y = (Format & DT_VCENTER) ? (R.Top + R.Bottom - lineHeight) / 2 : R.Top;

    if (Format & DT_CALCRECT) {
        int widest = 0;
        for (const QString &line : lines)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        R.Bottom = y + int(lines.size()) * lineHeight;
        if (AdjustRight)
            R.Right = R.Left + widest;
        return;
    }

    DC.save();
    if (!(Format & DT_NOCLIP))
        DC.setClipRect(ToQRect(R), Qt::IntersectClip);
    if (Format & DT_RTLREADING)
        DC.setLayoutDirection(Qt::RightToLeft);
    for (const QString &line : lines) {
        const int width = metrics.horizontalAdvance(line);
        int x = R.Left;
        if (Format & DT_RIGHT)
            x = R.Right - width;
        else if (Format & DT_CENTER)
            x = (R.Left + R.Right) / 2 - width / 2;
        TextOutTopLeft(DC, x, y, line);
        y += lineHeight;
        if (y >= R.Bottom)
            break;
    }
    DC.restore();
}
