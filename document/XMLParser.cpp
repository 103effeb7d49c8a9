#include "document/XMLParser.h"

#include "document/XMLEscape.h"
#include "document/XMLNode.h"

namespace xml {

namespace {

// Text and tag insides lose their line structure: every CR LF pair and every TAB
// becomes a blank, and the result is trimmed.
QStringView clean(QStringView text, QString &storage)
{
    text = trimControls(text);
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] != u'\t' && !(text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n'))
        ++i;
    if (i == n)
        return text;
    storage.clear();
    storage.reserve(n);
    storage += text.first(i);
    while (i < n) {
        if (text[i] == u'\t') {
            storage += u' ';
            ++i;
        } else if (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') {
            storage += u' ';
            i += 2;
        } else {
            storage += text[i++];
        }
    }
    return trimControls(storage);
}

QString unescaped(QStringView text)
{
    return XMLUnescape(text);
}

THashedString nameOf(QStringView text, NameCache *names)
{
    if (names && !text.contains(u'&'))
        return names->get(text);
    return THashedString(XMLUnescape(text));
}

// CDATA keeps its line structure as markers: CR LF becomes backslash-n-blank and TAB
// backslash-t-blank (the writer turns them back).
QString cdataValue(QStringView content)
{
    QString marked;
    marked.reserve(content.size());
    const qsizetype n = content.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (content[i] == u'\r' && i + 1 < n && content[i + 1] == u'\n') {
            marked += u"\\n ";
            ++i;
        } else if (content[i] == u'\t') {
            marked += u"\\t ";
        } else {
            marked += content[i];
        }
    }
    return XMLUnescape(marked);
}

class Parser {
public:
    Parser(TXMLNode &root, QStringView text, int maxDepth)
        : FRoot(root)
        , FText(text)
        , FMaxDepth(maxDepth)
    {
    }

    ParseOutcome run()
    {
        TXMLNode *current = &FRoot;
        int depth = 0;
        const qsizetype n = FText.size();
        qsizetype pos = 0;
        bool noMoreTagEnds = false;
        while (pos < n) {
            const qsizetype lt = FText.indexOf(u'<', pos);
            if (lt < 0) {
                setTextValue(*current, FText.sliced(pos));
                break;
            }
            setTextValue(*current, FText.sliced(pos, lt - pos));
            if (n - lt >= 9 && FText.sliced(lt, 9).compare(u"<![CDATA[", Qt::CaseInsensitive) == 0) {
                // An unclosed section takes the rest of the text.
                const qsizetype end = FText.indexOf(u"]]>", lt + 9);
                const qsizetype contentEnd = end < 0 ? n : end;
                current->SetValue(cdataValue(FText.sliced(lt + 9, contentEnd - lt - 9)));
                current->SetValueType(xvtCDATA);
                pos = end < 0 ? n : end + 3;
                continue;
            }
            // Once no ">" follows, none will: remembering it keeps a text full of "<"
            // linear.
            const qsizetype gt = noMoreTagEnds ? -1 : FText.indexOf(u'>', lt + 1);
            if (gt < 0) {
                noMoreTagEnds = true;
                pos = lt + 1;
                continue;
            }
            const QStringView inside = FText.sliced(lt + 1, gt - lt - 1);
            pos = gt + 1;
            if (inside.startsWith(u'/')) {
                // Closing tags do not compare names; one at the top level has nothing to close.
                if (current != &FRoot) {
                    current = current->parentNode();
                    --depth;
                }
                continue;
            }
            if (depth + 1 > FMaxDepth) {
                FOutcome.ok = false;
                FOutcome.error = QStringLiteral("XML nested deeper than %1 levels at character %2")
                                     .arg(FMaxDepth)
                                     .arg(lt);
                return FOutcome;
            }
            QString storage;
            const QStringView tag = clean(inside, storage);
            if (inside.endsWith(u'?') || inside.endsWith(u'/')) {
                // "< />" is what an element with an empty name looks like when empty.
                addNodeFromTag(*current, tag == u"/" ? QStringView() : tag, QString(), &FNames);
            } else {
                current = addNodeFromTag(*current, tag, QString(), &FNames);
                ++depth;
                ++FOutcome.nodeCount;
            }
        }
        FOutcome.complete = depth == 0;
        return FOutcome;
    }

private:
    void setTextValue(TXMLNode &node, QStringView text)
    {
        text = trimControls(text);
        if (text.isEmpty())
            return;
        QString storage;
        node.SetValue(unescaped(clean(text, storage)));
        node.SetValueType(xvtString);
    }

    TXMLNode &FRoot;
    QStringView FText;
    int FMaxDepth;
    NameCache FNames;
    ParseOutcome FOutcome;
};

} // namespace

TXMLNode *addNodeFromTag(TXMLNode &parent, QStringView tagText, const QString &value, NameCache *names)
{
    const qsizetype blank = tagText.indexOf(u' ');
    if (blank < 0)
        return parent.AddNode(nameOf(tagText, names), value);
    TXMLNode *node = parent.AddNode(nameOf(tagText.first(blank), names), value);
    qsizetype pos = blank + 1;
    for (;;) {
        const qsizetype eq = tagText.indexOf(u'=', pos);
        if (eq < 0)
            break;
        const qsizetype open = tagText.indexOf(u'"', eq + 1);
        if (open < 0)
            break;
        const qsizetype close = tagText.indexOf(u'"', open + 1);
        if (close < 0)
            break;
        node->AddAttribute(nameOf(trimControls(tagText.sliced(pos, eq - pos)), names),
            unescaped(tagText.sliced(open + 1, close - open - 1)));
        pos = close + 1;
    }
    return node;
}

ParseOutcome parse(TXMLNode &root, QStringView text, int maxDepth)
{
    return Parser(root, text, maxDepth).run();
}

} // namespace xml
