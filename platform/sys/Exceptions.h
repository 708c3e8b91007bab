#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The framework's exception family: a message text for the user, shown by whoever catches it.
class Exception : public std::exception
{
public:
    explicit Exception(QString Message) : FMessage(std::move(Message)), FUtf8(FMessage.toUtf8()) {}
    [[nodiscard]] const QString& Message() const noexcept { return FMessage; }
    [[nodiscard]] const char* what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};

// A file that is missing or cannot be read or written.
class EInOutError : public Exception
{
public:
    using Exception::Exception;
};

// A value outside the range its receiver accepts.
class ERangeError : public Exception
{
public:
    using Exception::Exception;
};
