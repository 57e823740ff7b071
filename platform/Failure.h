#pragma once

#include <QString>
#include <stdexcept>

namespace quorvane {

// The one failure type the client raises: a message text meant for the user.
class Failure : public std::runtime_error
{
public:
    explicit Failure(const QString& message) : std::runtime_error(message.toStdString()), m_message(message)
    {
    }

    const QString& message() const { return m_message; }

private:
    QString m_message;
};

} // namespace quorvane
