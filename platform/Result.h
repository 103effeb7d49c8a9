#pragma once

#include <QString>
#include <exception>
#include <new>
#include <utility>

namespace platform {

// The one way an operation that can fail reports how it went: ok, or failed with
// the reason in words the user can be shown ("Cannot rename onto /x/plan.kez:
// Permission denied"). A failure whose kinds the caller tells apart (a missing
// file is no error to a reader that then starts afresh) also carries a code of
// the caller's enum; `Code{}` means "no particular kind".
//
// A failure without a reason is a fault of the code that made it: failure()
// gives it a generic one, so that no refusal reaches the user as an empty line.
enum class NoCode { None };

template <typename Code = NoCode> class BasicStatus {
public:
    // Ok.
    BasicStatus() = default;
    static BasicStatus failure(QString reason, Code code = Code {})
    {
        BasicStatus status;
        status.FOk = false;
        status.FReason = reason.isEmpty() ? QStringLiteral("unknown failure") : std::move(reason);
        status.FCode = code;
        return status;
    }

    bool ok() const { return FOk; }
    explicit operator bool() const { return FOk; }
    // Empty when ok.
    const QString &reason() const { return FReason; }
    Code code() const { return FCode; }

private:
    bool FOk = true;
    QString FReason;
    Code FCode {};
};

using Status = BasicStatus<>;

// A value, or the reason there is none. The value of a failure is the default
// one (or what the failing code chose to leave, such as the part read so far).
template <typename T, typename Code = NoCode> class Result {
public:
    Result(T value)
        : FValue(std::move(value))
    { }
    // A failure (asserted: an ok status carries no value).
    Result(BasicStatus<Code> failed, T value = T {})
        : FValue(std::move(value))
        , FStatus(std::move(failed))
    {
        Q_ASSERT(!FStatus.ok());
    }
    static Result failure(QString reason, Code code = Code {})
    {
        return Result(BasicStatus<Code>::failure(std::move(reason), code));
    }

    bool ok() const { return FStatus.ok(); }
    explicit operator bool() const { return FStatus.ok(); }
    const QString &reason() const { return FStatus.reason(); }
    Code code() const { return FStatus.code(); }
    const BasicStatus<Code> &status() const { return FStatus; }
    const T &value() const & { return FValue; }
    T &value() & { return FValue; }
    T value() && { return std::move(FValue); }

private:
    T FValue;
    BasicStatus<Code> FStatus;
};

// The reason an exception gives, where a component's edge turns it into a failure.
inline QString reasonOf(const std::exception &e)
{
    if (dynamic_cast<const std::bad_alloc *>(&e))
        return QStringLiteral("there is not enough memory for it");
    const QString what = QString::fromLocal8Bit(e.what());
    return what.isEmpty() ? QStringLiteral("unknown failure") : what;
}

} // namespace platform
