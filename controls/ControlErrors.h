#pragma once

#include <QString>
#include <stdexcept>

// A control used in a way it cannot work (a docker without a form, a popup without
// a parent window). Raised to the programmer's code with a fixed English text.
class EControlError : public std::logic_error {
public:
    explicit EControlError(const QString &Message)
        : std::logic_error(Message.toStdString())
    { }
    QString Message() const { return QString::fromStdString(what()); }
};
