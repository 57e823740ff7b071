#pragma once

#include <QString>

namespace quorvane {

// The word that, typed as the very first keys in the About window, shows the diagnostics text.
inline const QString kAccessWord = QStringLiteral("MerlDox");

// The client's server addresses and the polling thread's fixed timings: "appUrl:", the
// application URL, "downUrl:", the download URL, "休眠时间:" 120000 (milliseconds between two
// polls) and "下载间隔倍数:" 10 (polls between two version checks), each ending in "\r\n". The two
// numbers are written here as fixed text, whatever the running thread does. A build without an
// update key (`updateKey` empty) adds the line "自动升级:未内置升级密钥，不会自动升级"; a build
// for a distribution package (`packageManaged`) instead adds "自动升级:由系统的软件包管理器更新".
QString diagnosticsText();
QString diagnosticsText(const QString& updateKey, bool packageManaged = false);

// The legal notice under the version, in two lines, and the statement in the box below it.
QString legalNoticeLine1();
QString legalNoticeLine2();
QString legalStatement();

} // namespace quorvane
