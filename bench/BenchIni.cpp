// Writes the saved login and the server addresses into quorvane.ini of the current profile
// (the XDG variables choose it), the way the client itself stores them: the password goes
// through the client's own scrambling.
//
//   quorvane_bench_ini APP_ROOT DOWN_URL USER PASSWORD

#include "config/ConfigKeys.h"
#include "config/ConfigStore.h"
#include "platform/Failure.h"
#include "platform/PrivateProfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

using namespace quorvane;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: quorvane_bench_ini APP_ROOT DOWN_URL USER PASSWORD\n");
        return 2;
    }
    try {
        const ConfigStore config;
        const QString file = config.getConfigFile();
        QDir().mkpath(QFileInfo(file).absolutePath());
        writeProfileString(file, QString::fromLatin1(ConfigKey::kSection),
                           QString::fromLatin1(ConfigKey::kAppRoot.key), args[1]);
        writeProfileString(file, QString::fromLatin1(ConfigKey::kSection),
                           QString::fromLatin1(ConfigKey::kDownUrl.key), args[2]);
        SavedLogin info;
        info.userName = args[3];
        info.password = args[4];
        info.rememberPass = true;
        info.autoLogin = true;
        info.userType = 0;
        config.saveConfigInfo(info);
        std::printf("%s\n", qPrintable(file));
    } catch (const Failure& failure) {
        std::fprintf(stderr, "quorvane_bench_ini: %s\n", qPrintable(failure.message()));
        return 1;
    }
    return 0;
}
