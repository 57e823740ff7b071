#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// A fresh user profile in a temporary folder: the XDG folders, TMPDIR and the working folder
// of this process point into it while the object lives, so nothing touches the real profile.
class TempProfile final
{
public:
    TempProfile();
    ~TempProfile();
    TempProfile(const TempProfile&) = delete;
    TempProfile& operator=(const TempProfile&) = delete;

    QString Root() const { return dir_.path(); }
    QString DataHome() const { return Root() + QStringLiteral("/data"); }
    QString ConfigHome() const { return Root() + QStringLiteral("/config"); }
    QString RuntimeDir() const { return Root() + QStringLiteral("/runtime"); }
    QString TempDir() const { return Root() + QStringLiteral("/tmp"); }
    QString WorkDir() const { return Root() + QStringLiteral("/work"); }
    QString CacheHome() const { return Root() + QStringLiteral("/cache"); }

    // quorvane.ini of this profile.
    QString ConfigFile() const { return DataHome() + QStringLiteral("/quorvane/quorvane.ini"); }
    QString AutostartFile() const { return ConfigHome() + QStringLiteral("/autostart/quorvane.desktop"); }

    // The environment for a child process that should use this profile.
    QProcessEnvironment Environment() const;

    static QString ReadFile(const QString& path);
    static void WriteFile(const QString& path, const QByteArray& content);

private:
    QTemporaryDir dir_;
    QString previousWorkDir_;
    QList<QPair<QByteArray, QByteArray>> saved_;
};
