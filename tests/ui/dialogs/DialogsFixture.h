#pragma once

#include "server/Session.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempProfile.h"
#include "tests/ui/dialogs/WindowTestApp.h"

#include <QString>
#include <gtest/gtest.h>
#include <string>

namespace quorvane {

// A fresh profile whose quorvane.ini points the application server at a loopback server, a
// session that talks to it, and message boxes recorded and answered in advance.
class DialogsFixture : public ::testing::Test
{
protected:
    DialogsFixture();
    ~DialogsFixture() override;

    // The raw value of a key of quorvane.ini, "<none>" when it is missing.
    QString iniValue(const char* key) const;
    // Writes quorvane.ini anew: the application server's address, then `lines`.
    void writeIni(const QByteArray& lines);
    // Writes quorvane.ini anew with nothing but `lines`.
    void writeRawIni(const QByteArray& lines);

    // Signs the session in as `userName` with the token "T0KEN".
    void signIn(const QString& userName);

    // The operations requested so far, e.g. "users/changePassword?format=xml&userName=...".
    QStringList operations() const;

    TempProfile m_profile;
    LoopbackServer m_server;
    Session m_session{HttpLimits{2000, 5000, 1024 * 1024, 0, 0}};
};

} // namespace quorvane
