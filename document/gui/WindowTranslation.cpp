#include "document/gui/WindowTranslation.h"

#include "document/program/Translation.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaProperty>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace {

// Captions and hints. "text" of a line edit is the user's input, never a caption.
const QStringList kPatterns = { QStringLiteral("*.windowTitle"), QStringLiteral("*.title"),
    QStringLiteral("*.text"), QStringLiteral("*.toolTip") };

const QString kLineBreak = QStringLiteral("\\n");

struct CachedText {
    QPointer<QObject> object; // null once the object is gone: the entry is then stale
    QString english;
};

using CacheKey = std::pair<const QObject *, QString>;

QHash<CacheKey, CachedText> &cache()
{
    static QHash<CacheKey, CachedText> c;
    return c;
}

void dropStaleEntries()
{
    auto &c = cache();
    for (auto it = c.begin(); it != c.end();) {
        if (it->object.isNull())
            it = c.erase(it);
        else
            ++it;
    }
}

bool cachedEnglish(const QObject *object, const QString &property, QString &english)
{
    const auto it = cache().constFind({ object, property.toLower() });
    // A null pointer means the object died and another took its address.
    if (it == cache().constEnd() || it->object.data() != object)
        return false;
    english = it->english;
    return true;
}

void remember(QObject *object, const QString &property, const QString &english)
{
    QString existing;
    if (!cachedEnglish(object, property, existing))
        cache().insert({ object, property.toLower() }, { object, english });
}

QMetaProperty findProperty(const QObject *object, const QString &name)
{
    const QMetaObject *meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        if (name.compare(QLatin1String(p.name()), Qt::CaseInsensitive) == 0)
            return p;
    }
    return {};
}

// Visits the objects Owner holds: named children, and the named objects below
// unnamed children.
void forEachHeld(const QObject *owner, const std::function<void(QObject *)> &visit)
{
    for (QObject *child : owner->children()) {
        if (child->objectName().isEmpty())
            forEachHeld(child, visit);
        else
            visit(child);
    }
}

QList<QObject *> topLevelObjects()
{
    QList<QObject *> result;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!w->parent())
            result.append(w);
    }
    if (QCoreApplication *app = QCoreApplication::instance())
        result.append(app->children());
    return result;
}

// A caption as Qt shows it as a hint: without its access keys and a trailing "...".
QString StrippedCaption(QString caption)
{
    caption.remove(QLatin1Char('&'));
    if (caption.endsWith(QLatin1String("...")))
        caption.chop(3);
    return caption.trimmed();
}

// The patterns' property names that Component carries as a translatable text.
bool isTranslatable(const QObject *component, const QString &property)
{
    if (!HasProperty(component, property))
        return false;
    if (property.compare(QLatin1String("text"), Qt::CaseInsensitive) == 0
        && qobject_cast<const QLineEdit *>(component))
        return false;
    const QString text = GetProperty(component, property);
    // An action without a hint of its own shows its caption as one: that hint
    // follows the caption and is no text of its own.
    if (const auto *action = qobject_cast<const QAction *>(component); action
        && property.compare(QLatin1String("toolTip"), Qt::CaseInsensitive) == 0
        && text == StrippedCaption(action->text()))
        return false;
    return !text.isEmpty() && text != QLatin1String("-") && text != component->objectName();
}

void buildProperties(QObject *component, QStringList &list, const QString &prefix)
{
    const QString name = component->objectName();
    if (name.isEmpty())
        return;
    const QString path = prefix.isEmpty() ? name : prefix + QLatin1Char('.') + name;
    forEachHeld(component, [&](QObject *held) { buildProperties(held, list, path); });
    for (const QString &pattern : kPatterns) {
        const QString property = pattern.mid(pattern.lastIndexOf(QLatin1Char('.')) + 1);
        if (isTranslatable(component, property))
            list.append(path + QLatin1Char('.') + property);
    }
}

// Follows Path from `start`, which the first part names; returns the object of the
// last-but-one part and leaves the property name in Path.
QObject *resolve(QObject *start, QString &path)
{
    GetFirstPart(path);
    QObject *component = start;
    while (component && !IsLastPart(path))
        component = FindComponent(component, GetFirstPart(path));
    path = path.trimmed();
    return component;
}

void translateResolved(QObject *component, const QString &property)
{
    if (!component)
        return;
    QString english;
    if (!cachedEnglish(component, property, english))
        english = EnglishOf(GetProperty(component, property));
    QString translated = TranslationOf(english);
    if (translated.isEmpty())
        translated = english;
    if (translated.isEmpty())
        return;
    remember(component, property, english);
    SetProperty(component, property, translated);
}

} // namespace

void Translate(QObject *Component)
{
    if (!Component || Component->objectName().isEmpty())
        return;
    dropStaleEntries();
    QStringList list;
    buildProperties(Component, list, QString());
    for (QString path : list) {
        QObject *component = resolve(Component, path);
        translateResolved(component, path);
    }
}

void TranslateUnnamed(QObject *Window)
{
    if (!Window)
        return;
    static const char *const english = "zeltranoEnglish";
    static const char *const shown = "zeltranoShown";
    const auto translate = [](QObject *object, const char *property) {
        const QString current = object->property(property).toString();
        if (current.isEmpty())
            return;
        if (current != object->property(shown).toString())
            object->setProperty(english, EnglishOf(current));
        const QString translated = Translate(object->property(english).toString());
        object->setProperty(shown, translated);
        object->setProperty(property, translated);
    };
    for (QWidget *widget : Window->findChildren<QWidget *>()) {
        if (!widget->objectName().isEmpty())
            continue;
        if (qobject_cast<QLabel *>(widget))
            translate(widget, "text");
        else if (qobject_cast<QAbstractButton *>(widget)) {
            translate(widget, "text");
            translate(widget, "toolTip");
        } else if (qobject_cast<QGroupBox *>(widget))
            translate(widget, "title");
    }
    // Entries made in menus at run time (column widths, the utilisation's "alle").
    for (QAction *action : Window->findChildren<QAction *>()) {
        if (action->objectName().isEmpty() && !action->isSeparator() && !action->menu())
            translate(action, "text");
    }
}

void TranslateProperty(const QString &Path)
{
    QString rest = Path;
    if (IsLastPart(rest))
        return;
    QObject *start = FindComponent(nullptr, QString(rest).section(QLatin1Char('.'), 0, 0).trimmed());
    QObject *component = resolve(start, rest);
    translateResolved(component, rest);
}

bool HasProperty(const QObject *Object, const QString &Name)
{
    if (!Object)
        return false;
    const QMetaProperty p = findProperty(Object, Name);
    return p.isValid() && p.isReadable() && p.isWritable();
}

QString GetProperty(const QObject *Component, const QString &Name)
{
    if (!Component)
        return QString();
    const QMetaProperty p = findProperty(Component, Name);
    if (!p.isValid())
        return QString();
    const QVariant value = p.read(Component);
    if (p.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(kLineBreak);
    return value.toString();
}

void SetProperty(QObject *Component, const QString &Name, const QString &Value)
{
    if (!Component)
        return;
    const QMetaProperty p = findProperty(Component, Name);
    if (!p.isValid() || !p.isWritable())
        return;
    switch (p.metaType().id()) {
    case QMetaType::QString:
        p.write(Component, QString(Value).replace(kLineBreak, QLatin1String("\n")));
        break;
    case QMetaType::Int:
        p.write(Component, Value.trimmed().toInt());
        break;
    case QMetaType::QStringList: {
        QStringList items = Value.split(kLineBreak);
        for (QString &item : items)
            item = item.trimmed();
        if (!items.isEmpty() && items.last().isEmpty())
            items.removeLast();
        p.write(Component, items);
        break;
    }
    default:
        p.write(Component, Value);
        break;
    }
}

QObject *FindComponent(QObject *Owner, const QString &Name)
{
    QObject *found = nullptr;
    const auto match = [&](QObject *candidate) {
        if (!found && candidate->objectName().compare(Name, Qt::CaseInsensitive) == 0)
            found = candidate;
    };
    if (Owner) {
        forEachHeld(Owner, match);
    } else {
        for (QObject *top : topLevelObjects()) {
            if (top->objectName().isEmpty())
                forEachHeld(top, match);
            else
                match(top);
        }
    }
    return found;
}

QString GetFirstPart(QString &Path)
{
    const qsizetype dot = Path.indexOf(QLatin1Char('.'));
    QString first;
    if (dot < 0) {
        first = Path;
        Path.clear();
    } else {
        first = Path.left(dot);
        Path = Path.mid(dot + 1);
    }
    return first.trimmed();
}

bool IsLastPart(const QString &Path)
{
    return !Path.contains(QLatin1Char('.'));
}
