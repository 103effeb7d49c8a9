#include "platform/gui/TextDraw.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <vector>

namespace {

struct TLine {
    QString text;
    int underline = -1; // index in text of the character to underline
};

// Removes the prefix characters of one line; remembers the last underlined character.
TLine StripPrefix(const QString &raw, unsigned format)
{
    TLine line;
    if (format & DT_NOPREFIX) {
        line.text = raw;
        return line;
    }
    line.text.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == QLatin1Char('&') && i + 1 < raw.size()) {
            ++i;
            if (raw[i] != QLatin1Char('&'))
                line.underline = int(line.text.size());
        } else if (raw[i] == QLatin1Char('&')) {
            continue; // a trailing "&" shows nothing
        }
        line.text.append(raw[i]);
    }
    if (format & DT_HIDEPREFIX)
        line.underline = -1;
    return line;
}

int TabWidth(const QFontMetrics &metrics, unsigned format)
{
    const int chars = (format & DT_TABSTOP) ? int((format >> 8) & 0xFF) : 8;
    return std::max(1, chars) * std::max(1, metrics.averageCharWidth());
}

QString ExpandTabs(const QString &text, const QFontMetrics &metrics, unsigned format)
{
    if (!(format & DT_EXPANDTABS) || !text.contains(QLatin1Char('\t')))
        return text;
    const int stop = TabWidth(metrics, format);
    QString out;
    for (const QChar c : text) {
        if (c != QLatin1Char('\t')) {
            out.append(c);
            continue;
        }
        const int next = (metrics.horizontalAdvance(out) / stop + 1) * stop;
        do
            out.append(QLatin1Char(' '));
        while (metrics.horizontalAdvance(out) < next);
    }
    return out;
}

bool IsSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Cuts a paragraph into lines no wider than `width`; never inside a surrogate pair.
void WrapParagraph(
    const TLine &para, const QFontMetrics &metrics, int width, bool breakWords, std::vector<TLine> &lines)
{
    const QString &s = para.text;
    qsizetype start = 0;
    if (s.isEmpty()) {
        lines.push_back(para);
        return;
    }
    while (start < s.size()) {
        qsizetype end = start;
        qsizetype lastBreak = -1;
        while (end < s.size()) {
            const qsizetype next = end + ((s[end].isHighSurrogate() && end + 1 < s.size()) ? 2 : 1);
            // A space at the end of a line need not fit.
            if (IsSpace(s[end]) && end > start)
                lastBreak = end;
            else if (metrics.horizontalAdvance(s.mid(start, next - start)) > width && end > start)
                break;
            end = next;
        }
        qsizetype cut = end;
        qsizetype resume = end;
        if (end < s.size()) {
            if (lastBreak > start) {
                cut = lastBreak;
                resume = lastBreak + 1;
            } else if (!breakWords) {
                // A word wider than the line stays whole.
                while (cut < s.size() && !IsSpace(s[cut]))
                    ++cut;
                resume = cut < s.size() ? cut + 1 : cut;
            }
        }
        TLine line;
        line.text = s.mid(start, cut - start);
        if (para.underline >= start && para.underline < cut)
            line.underline = int(para.underline - start);
        lines.push_back(line);
        start = resume;
        while (start < s.size() && s[start] == QLatin1Char(' ') && resume != cut)
            ++start;
    }
}

QString Elide(const QString &text, const QFontMetrics &metrics, int width, unsigned format)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    const QString dots = QStringLiteral("...");
    if (format & DT_PATH_ELLIPSIS) {
        // Keeps the last path element and as much of the front as fits.
        const qsizetype slash
            = std::max(text.lastIndexOf(QLatin1Char('\\')), text.lastIndexOf(QLatin1Char('/')));
        const QString tail = slash >= 0 ? text.mid(slash) : QString();
        QString head = slash >= 0 ? text.left(slash) : text;
        while (!head.isEmpty() && metrics.horizontalAdvance(head + dots + tail) > width) {
            head.chop(head.size() >= 2 && head[head.size() - 1].isLowSurrogate() ? 2 : 1);
        }
        if (!head.isEmpty() || metrics.horizontalAdvance(dots + tail) <= width)
            return head + dots + tail;
    }
    return EndEllipsis(text, metrics, width);
}

int DrawTextImpl(QPainter &painter, const QString &text, TRect &rect, unsigned format)
{
    const QFontMetrics metrics(painter.font(), painter.device());
    const int lineHeight
        = metrics.height() + ((format & DT_EXTERNALLEADING) ? std::max(0, metrics.leading()) : 0);
    const int width = rect.Width();

    // Paragraphs.
    std::vector<TLine> paragraphs;
    if (format & DT_SINGLELINE) {
        QString one = text;
        one.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        paragraphs.push_back(StripPrefix(one, format));
    } else {
        QString normal = text;
        normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
            .replace(QLatin1Char('\r'), QLatin1Char('\n'));
        for (const QString &part : normal.split(QLatin1Char('\n')))
            paragraphs.push_back(StripPrefix(part, format));
    }
    for (TLine &p : paragraphs)
        p.text = ExpandTabs(p.text, metrics, format);

    std::vector<TLine> lines;
    if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
        for (const TLine &p : paragraphs)
            WrapParagraph(p, metrics, std::max(1, width), (format & DT_EDITCONTROL) != 0, lines);
    } else {
        lines = paragraphs;
    }
    if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
        for (TLine &line : lines) {
            const QString cut = Elide(line.text, metrics, width, format);
            if (cut != line.text && line.underline >= cut.size() - 3)
                line.underline = -1;
            line.text = cut;
        }
    }

    int textWidth = 0;
    for (const TLine &line : lines)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(line.text));
    const int textHeight = int(lines.size()) * lineHeight;

    if (format & DT_CALCRECT) {
        rect.Right = rect.Left + textWidth;
        rect.Bottom = rect.Top + textHeight;
        return textHeight;
    }

    int y = rect.Top;
    int result = textHeight;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = rect.Top + (rect.Height() - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = rect.Bottom - lineHeight;
        if (format & (DT_VCENTER | DT_BOTTOM))
            result = y + lineHeight - rect.Top;
    }

    painter.save();
    if (!(format & DT_NOCLIP))
        painter.setClipRect(ToQRect(rect), Qt::IntersectClip);
    if (format & DT_RTLREADING)
        painter.setLayoutDirection(Qt::RightToLeft);
    for (const TLine &line : lines) {
        const int lineWidth = metrics.horizontalAdvance(line.text);
        int x = rect.Left;
        if (format & DT_CENTER)
            x = rect.Left + (width - lineWidth) / 2;
        else if (format & DT_RIGHT)
            x = rect.Right - lineWidth;
        if (!(format & DT_PREFIXONLY))
            painter.drawText(x, y + metrics.ascent(), line.text);
        if (line.underline >= 0 && line.underline < line.text.size()) {
            const int ux = x + metrics.horizontalAdvance(line.text.left(line.underline));
            const int uw = metrics.horizontalAdvance(line.text.mid(line.underline, 1));
            const int uy = y + metrics.ascent() + metrics.underlinePos();
            painter.fillRect(
                ux, uy, std::max(1, uw), std::max(1, metrics.lineWidth()), painter.pen().color());
        }
        y += lineHeight;
    }
    painter.restore();
    return result;
}

} // namespace

QString EndEllipsis(const QString &text, const QFontMetrics &metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    const QString dots = QStringLiteral("...");
    // The longest head that fits with the dots: widths grow with the head, so halve
    // the range of lengths instead of chopping one character at a time.
    qsizetype fits = 0, tooLong = text.size();
    while (tooLong - fits > 1) {
        const qsizetype mid = (fits + tooLong) / 2;
        if (metrics.horizontalAdvance(text.left(mid) + dots) <= width)
            fits = mid;
        else
            tooLong = mid;
    }
    if (fits > 0 && text[fits - 1].isHighSurrogate())
        --fits;
    return text.left(fits) + dots;
}

int DrawTextEx(QPainter &painter, const QString &text, TRect &rect, unsigned format)
{
    return DrawTextImpl(painter, text, rect, format);
}

int DrawTextEx(QPainter &painter, const QString &text, const TRect &rect, unsigned format)
{
    TRect copy = rect;
    return DrawTextImpl(painter, text, copy, format);
}

QString ShownLinePart(const QString &text)
{
    if (text.size() <= MaxShownLineLength)
        return text;
    const bool pair = text[MaxShownLineLength - 1].isHighSurrogate();
    return text.left(MaxShownLineLength + (pair ? 1 : 0));
}
