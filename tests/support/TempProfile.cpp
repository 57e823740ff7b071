#include "tests/support/TempProfile.h"

#include "config/SelvorConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>

namespace {

const char* const kVariables[] = {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "TMPDIR",
                                  "XDG_CACHE_HOME"};

} // namespace

TempProfile::TempProfile()
{
    for (const QString& sub : {DataHome(), ConfigHome(), RuntimeDir(), TempDir(), WorkDir(), CacheHome()})
        QDir().mkpath(sub);
    QFile::setPermissions(RuntimeDir(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString values[] = {DataHome(), ConfigHome(), RuntimeDir(), TempDir(), CacheHome()};
    for (int i = 0; i < 5; ++i) {
        saved_.append({kVariables[i], qgetenv(kVariables[i])});
        qputenv(kVariables[i], QFile::encodeName(values[i]));
    }
    previousWorkDir_ = QDir::currentPath();
    QDir::setCurrent(WorkDir());
    TSelvorConfig::ForgetCachedAddresses();
}

TempProfile::~TempProfile()
{
    QDir::setCurrent(previousWorkDir_);
    for (const auto& [name, value] : saved_) {
        if (value.isEmpty())
            qunsetenv(name.constData());
        else
            qputenv(name.constData(), value);
    }
    TSelvorConfig::ForgetCachedAddresses();
}

QProcessEnvironment TempProfile::Environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), DataHome());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), ConfigHome());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), RuntimeDir());
    env.insert(QStringLiteral("TMPDIR"), TempDir());
    env.insert(QStringLiteral("XDG_CACHE_HOME"), CacheHome());
    return env;
}

QString TempProfile::ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

void TempProfile::WriteFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}
