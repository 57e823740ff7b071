#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>
#include <mutex>
#include <string>

namespace quorvane {

// "requests.log" in the data folder: one line per request, the method and the target exactly as
// the request line carried them, so tests can check what the client sent. It holds the passwords
// of sign-in requests in clear, as the targets do; it is meant for the demo and the tests only.
class RequestLog final
{
public:
    // Opens the log for appending. Raises Failure when it cannot.
    explicit RequestLog(const QString& dataDir);
    Q_DISABLE_COPY_MOVE(RequestLog)

    void append(const std::string& method, const std::string& target);

    // Everything logged so far, this run and earlier ones.
    QByteArray contents() const;

private:
    mutable std::mutex m_mutex;
    QFile m_file;
};

} // namespace quorvane
