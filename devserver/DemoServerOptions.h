#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// What the command line chooses: where the server listens, where it keeps its files, and what the
// download server publishes.
struct DemoServerOptions
{
    int port = 0; // 0 picks a free port
    QString dataDir;
    QString version;     // published version text
    QString versionDesc; // published description
    QString packageFile; // empty: no package is published
    QStringList shareHosts;
    // The key the admin URLs need ("key=..."); a random one is made when it is empty.
    QString adminKey;
};

// Reads "--port N --data DIR [--version TEXT] [--version-desc TEXT] [--package FILE]
// [--share-host HOST]..." (arguments without the program name). Raises Failure with a message
// that names the offending option.
DemoServerOptions parseDemoServerOptions(const QStringList& arguments);

QString demoServerUsage();

} // namespace quorvane
