#pragma once

#include <QString>
#include <stdexcept>

// The one failure type the client raises: a message text meant for the user.
class TFailure : public std::runtime_error
{
public:
    explicit TFailure(const QString& message) : std::runtime_error(message.toStdString()), message_(message)
    {
    }

    const QString& Message() const { return message_; }

private:
    QString message_;
};
