#include "tests/support/TempProfile.h"

#include "config/ConfigStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>

namespace quorvane {

namespace {

const char* const kVariables[] = {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "TMPDIR",
                                  "XDG_CACHE_HOME"};

} // namespace

TempProfile::TempProfile()
{
    for (const QString& sub : {dataHome(), configHome(), runtimeDir(), tempDir(), workDir(), cacheHome()})
        QDir().mkpath(sub);
    QFile::setPermissions(runtimeDir(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString values[] = {dataHome(), configHome(), runtimeDir(), tempDir(), cacheHome()};
    for (int i = 0; i < 5; ++i) {
        m_saved.append({kVariables[i], qgetenv(kVariables[i])});
        qputenv(kVariables[i], QFile::encodeName(values[i]));
    }
    m_previousWorkDir = QDir::currentPath();
    QDir::setCurrent(workDir());
    ConfigStore::forgetCachedAddresses();
}

TempProfile::~TempProfile()
{
    QDir::setCurrent(m_previousWorkDir);
    for (const auto& [name, value] : m_saved) {
        if (value.isEmpty())
            qunsetenv(name.constData());
        else
            qputenv(name.constData(), value);
    }
    ConfigStore::forgetCachedAddresses();
}

QProcessEnvironment TempProfile::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir());
    env.insert(QStringLiteral("TMPDIR"), tempDir());
    env.insert(QStringLiteral("XDG_CACHE_HOME"), cacheHome());
    return env;
}

QString TempProfile::readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

void TempProfile::writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

} // namespace quorvane
