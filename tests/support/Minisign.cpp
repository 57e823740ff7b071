#include "tests/support/Minisign.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QtDebug>

namespace quorvane {

namespace {

constexpr int kTimeoutMs = 30000;

// Runs minisign without a terminal: a key that wants a password fails instead of waiting.
bool run(const QStringList& arguments)
{
    QProcess minisign;
    minisign.start(QStringLiteral("minisign"), arguments);
    minisign.closeWriteChannel();
    if (!minisign.waitForFinished(kTimeoutMs)) {
        minisign.kill();
        minisign.waitForFinished();
        qWarning() << "minisign" << arguments << "did not finish:" << minisign.errorString();
        return false;
    }
    if (minisign.exitStatus() != QProcess::NormalExit || minisign.exitCode() != 0) {
        qWarning() << "minisign" << arguments << "failed:" << minisign.readAllStandardError();
        return false;
    }
    return true;
}

} // namespace

QString demoSecretKey()
{
    return QStringLiteral(QUORVANE_DEMO_UPDATE_SECRET_KEY);
}

QString demoPublicKey()
{
    return demoSecretKey().isEmpty() ? QString() : QStringLiteral(QUORVANE_DEMO_UPDATE_PUBLIC_KEY);
}

bool makeMinisignKeyPair(const QString& dir)
{
    QDir().mkpath(dir);
    // minisign will not overwrite a key pair; a fresh one replaces it.
    QFile::remove(dir + QStringLiteral("/minisign.pub"));
    QFile::remove(dir + QStringLiteral("/minisign.key"));
    return run({QStringLiteral("-G"), QStringLiteral("-W"), QStringLiteral("-p"),
                dir + QStringLiteral("/minisign.pub"), QStringLiteral("-s"),
                dir + QStringLiteral("/minisign.key")});
}

QString minisignPublicKeyLine(const QString& publicKeyFile)
{
    QFile file(publicKeyFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    return lines.size() == 2 ? QString::fromLatin1(lines[1].trimmed()) : QString();
}

bool signWithMinisign(const QString& file, const QString& trustedComment, const QString& secretKey)
{
    // A stale signature must not pass for a new one when minisign fails.
    QFile::remove(file + QStringLiteral(".minisig"));
    return !secretKey.isEmpty() && run({QStringLiteral("-S"), QStringLiteral("-s"), secretKey,
                                        QStringLiteral("-m"), file, QStringLiteral("-t"), trustedComment});
}

} // namespace quorvane
