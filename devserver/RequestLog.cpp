#include "devserver/RequestLog.h"

#include "platform/Failure.h"

#include <QDir>

namespace quorvane {

namespace {

// Control characters would break the one-line-per-request rule; they are written as %XX.
QByteArray oneLine(const std::string& text)
{
    QByteArray line;
    line.reserve(static_cast<qsizetype>(text.size()));
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            line += '%' + QByteArray::number(byte, 16).rightJustified(2, '0').toUpper();
        else
            line += c;
    }
    return line;
}

} // namespace

RequestLog::RequestLog(const QString& dataDir)
    : m_file(QDir(dataDir).filePath(QStringLiteral("requests.log")))
{
    if (!QDir().mkpath(dataDir) || !m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw Failure(QStringLiteral("cannot open %1: %2").arg(m_file.fileName(), m_file.errorString()));
    // The log holds every request line, passwords included: for the server's user alone.
    m_file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QFile::setPermissions(dataDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void RequestLog::append(const std::string& method, const std::string& target)
{
    const QByteArray line = oneLine(method) + ' ' + oneLine(target) + '\n';
    std::lock_guard lock(m_mutex);
    m_file.write(line);
    m_file.flush();
}

QByteArray RequestLog::contents() const
{
    std::lock_guard lock(m_mutex);
    QFile reader(m_file.fileName());
    if (!reader.open(QIODevice::ReadOnly))
        return {};
    return reader.readAll();
}

} // namespace quorvane
