#include "devserver/RequestLog.h"

#include "platform/Failure.h"

#include <QDir>

namespace {

// Control characters would break the one-line-per-request rule; they are written as %XX.
QByteArray OneLine(const std::string& text)
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

TRequestLog::TRequestLog(const QString& dataDir)
    : file_(QDir(dataDir).filePath(QStringLiteral("requests.log")))
{
    if (!QDir().mkpath(dataDir) || !file_.open(QIODevice::WriteOnly | QIODevice::Append))
        throw TFailure(QStringLiteral("cannot open %1: %2").arg(file_.fileName(), file_.errorString()));
    // The log holds every request line, passwords included: for the server's user alone.
    file_.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QFile::setPermissions(dataDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void TRequestLog::Append(const std::string& method, const std::string& target)
{
    const QByteArray line = OneLine(method) + ' ' + OneLine(target) + '\n';
    std::lock_guard lock(mutex_);
    file_.write(line);
    file_.flush();
}

QByteArray TRequestLog::Contents() const
{
    std::lock_guard lock(mutex_);
    QFile reader(file_.fileName());
    if (!reader.open(QIODevice::ReadOnly))
        return {};
    return reader.readAll();
}
