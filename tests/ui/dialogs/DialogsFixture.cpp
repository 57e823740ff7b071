#include "tests/ui/dialogs/DialogsFixture.h"

#include "config/ConfigKeys.h"
#include "config/SelvorConfig.h"
#include "platform/PrivateProfile.h"
#include "ui/chrome/MessageBox.h"

DialogsFixture::DialogsFixture()
{
    WriteIni({});
    DMod = &session;
    TMessageBox::SetTestMode(true);
    TakeEscapedFailures();
}

DialogsFixture::~DialogsFixture()
{
    ProcessEvents();
    DMod = nullptr;
    TMessageBox::SetTestMode(true);
    EXPECT_EQ(TakeEscapedFailures(), QStringList()) << "failures nobody expected";
}

QString DialogsFixture::IniValue(const char* key) const
{
    return ReadProfileString(profile.ConfigFile(), QString::fromLatin1(ConfigKey::kSection),
                             QString::fromLatin1(key), QStringLiteral("<none>"));
}

void DialogsFixture::WriteIni(const QByteArray& lines)
{
    WriteRawIni("app_root=" + server.Url().toLatin1() + "\r\n" + lines);
}

void DialogsFixture::WriteRawIni(const QByteArray& lines)
{
    TempProfile::WriteFile(profile.ConfigFile(), "[Common]\r\n" + lines);
    TSelvorConfig::ForgetCachedAddresses();
}

void DialogsFixture::SignIn(const QString& userName)
{
    server.Reply("/quorvane2/users/userLogin",
                 "<responsed><code>0</code><token>T0KEN</token><role>1</role></responsed>");
    ASSERT_EQ(session.Login(userName, QStringLiteral("old-secret")).code, 0);
    server.ClearRequests();
}

QStringList DialogsFixture::Operations() const
{
    QStringList operations;
    for (const QString& target : server.Targets())
        operations << target.mid(QStringLiteral("/quorvane2/").size());
    return operations;
}
