#include "tests/support/Minisign.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>

namespace {

constexpr int kTimeoutMs = 30000;

bool Run(const QStringList& arguments)
{
    QProcess minisign;
    minisign.start(QStringLiteral("minisign"), arguments);
    minisign.closeWriteChannel();
    return minisign.waitForFinished(kTimeoutMs) && minisign.exitStatus() == QProcess::NormalExit &&
           minisign.exitCode() == 0;
}

} // namespace

bool MakeMinisignKeyPair(const QString& dir)
{
    QDir().mkpath(dir);
    QFile::remove(dir + QStringLiteral("/minisign.pub"));
    QFile::remove(dir + QStringLiteral("/minisign.key"));
    return Run({QStringLiteral("-G"), QStringLiteral("-W"), QStringLiteral("-p"), dir + QStringLiteral("/minisign.pub"),
                QStringLiteral("-s"), dir + QStringLiteral("/minisign.key")});
}

QString MinisignPublicKeyLine(const QString& publicKeyFile)
{
    QFile file(publicKeyFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    return lines.size() == 2 ? QString::fromLatin1(lines[1].trimmed()) : QString();
}

bool SignWithMinisign(const QString& file, const QString& trustedComment, const QString& secretKey)
{
    QFile::remove(file + QStringLiteral(".minisig"));
    return !secretKey.isEmpty() && Run({QStringLiteral("-S"), QStringLiteral("-s"), secretKey, QStringLiteral("-m"),
                                        file, QStringLiteral("-t"), trustedComment});
}

QString DemoSecretKey()
{
    return QStringLiteral(QUORVANE_DEMO_UPDATE_SECRET_KEY);
}
