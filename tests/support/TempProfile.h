#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

namespace quorvane {

// A fresh user profile in a temporary folder: the XDG folders, TMPDIR and the working folder
// of this process point into it while the object lives, so nothing touches the real profile.
class TempProfile final
{
public:
    TempProfile();
    ~TempProfile();
    TempProfile(const TempProfile&) = delete;
    TempProfile& operator=(const TempProfile&) = delete;

    QString root() const { return m_dir.path(); }
    QString dataHome() const { return root() + QStringLiteral("/data"); }
    QString configHome() const { return root() + QStringLiteral("/config"); }
    QString runtimeDir() const { return root() + QStringLiteral("/runtime"); }
    QString tempDir() const { return root() + QStringLiteral("/tmp"); }
    QString workDir() const { return root() + QStringLiteral("/work"); }
    QString cacheHome() const { return root() + QStringLiteral("/cache"); }

    // quorvane.ini of this profile.
    QString configFile() const { return dataHome() + QStringLiteral("/quorvane/quorvane.ini"); }
    QString autostartFile() const { return configHome() + QStringLiteral("/autostart/quorvane.desktop"); }

    // The environment for a child process that should use this profile.
    QProcessEnvironment environment() const;

    static QString readFile(const QString& path);
    static void writeFile(const QString& path, const QByteArray& content);

private:
    QTemporaryDir m_dir;
    QString m_previousWorkDir;
    QList<QPair<QByteArray, QByteArray>> m_saved;
};

} // namespace quorvane
