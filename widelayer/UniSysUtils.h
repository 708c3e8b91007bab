#pragma once

#include "platform/sys/Exceptions.h"

#include <QString>

// The layer's own exceptions: bad outside input, and a state its own code should never reach.
class EUniGeneralError : public Exception
{
public:
    using Exception::Exception;
};

class EUniInternalError : public Exception
{
public:
    using Exception::Exception;
};

// An operating-system call that failed, with its errno value.
class EUniOSError : public Exception
{
public:
    EUniOSError(int Code, QString Message) : Exception(std::move(Message)), FCode(Code) {}
    [[nodiscard]] int ErrorCode() const noexcept { return FCode; }

private:
    int FCode;
};

// The system's text for an errno value. A code the system has no text for is named with the module
// that reported it ("system" when none is given), so a log line still says where it came from.
[[nodiscard]] QString SysErrorMessage(int Code, const QString& ModuleName = QString());

// Raises the error of the last failed system call (errno).
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseOSError(int Code);

// For system calls that answer 0 on failure: passes a success through, raises the last error otherwise.
template <typename T> T UniCheck(T Value)
{
    if (Value == T{})
        RaiseLastOSError();
    return Value;
}
