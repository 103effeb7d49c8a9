#pragma once

#include <QString>

class QObject;

// Translation of whole windows. Objects are addressed by their object names along
// dotted paths ("MainForm.FileMenu.actionOpen.text"). An object "holds" the named
// objects below it in the object tree, looking through unnamed objects in between
// (Qt's layouts and containers are often unnamed); the application holds the
// windows that have no parent. Unnamed objects are never translated themselves.
//
// The English text of every translated property is remembered, so translating
// again into another language starts from English. The memory does not keep
// destroyed objects alive or reachable.

// Translates the captions (windowTitle, title, text) and hints (toolTip) of
// Component and of everything it holds. Menu items and other actions included.
void Translate(QObject *Component);
// Translates the captions of the labels, buttons, group boxes and menu entries
// in Window that have no name (layouts and menus filled at run time make many).
// Each remembers its English text; a text the program set since the last
// translation is taken as the new English one.
void TranslateUnnamed(QObject *Window);
// Translates one property named by a dotted path starting at a window.
void TranslateProperty(const QString &Path);

// Property helpers on Qt properties; names compare ignoring case.
bool HasProperty(const QObject *Object, const QString &Name);
// A string-list property reads as its items joined by backslash-n.
QString GetProperty(const QObject *Component, const QString &Name);
// String properties take the text (backslash-n becoming a line break), integer
// properties its integer value, string-list properties the text split at
// backslash-n, each piece trimmed, a trailing empty piece dropped.
void SetProperty(QObject *Component, const QString &Name, const QString &Value);
// The first object held by Owner (the application when null) named Name, ignoring case.
QObject *FindComponent(QObject *Owner, const QString &Name);
// Takes the first dotted part off Path and returns it trimmed.
QString GetFirstPart(QString &Path);
bool IsLastPart(const QString &Path);
