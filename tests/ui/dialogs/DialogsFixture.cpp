#include "tests/ui/dialogs/DialogsFixture.h"

#include "config/ConfigKeys.h"
#include "config/ConfigStore.h"
#include "platform/PrivateProfile.h"
#include "ui/chrome/MessageBox.h"

namespace quorvane {

DialogsFixture::DialogsFixture()
{
    writeIni({});
    MessageBox::setTestMode(true);
    takeEscapedFailures();
}

DialogsFixture::~DialogsFixture()
{
    processEvents();
    MessageBox::setTestMode(true);
    EXPECT_EQ(takeEscapedFailures(), QStringList()) << "failures nobody expected";
}

QString DialogsFixture::iniValue(const char* key) const
{
    return readProfileString(m_profile.configFile(), QString::fromLatin1(ConfigKey::kSection),
                             QString::fromLatin1(key), QStringLiteral("<none>"));
}

void DialogsFixture::writeIni(const QByteArray& lines)
{
    writeRawIni("app_root=" + m_server.url().toLatin1() + "\r\n" + lines);
}

void DialogsFixture::writeRawIni(const QByteArray& lines)
{
    TempProfile::writeFile(m_profile.configFile(), "[Common]\r\n" + lines);
    ConfigStore::forgetCachedAddresses();
}

void DialogsFixture::signIn(const QString& userName)
{
    m_server.reply("/quorvane2/users/userLogin",
                   "<responsed><code>0</code><token>T0KEN</token><role>1</role></responsed>");
    ASSERT_EQ(m_session.login(userName, QStringLiteral("old-secret")).code, 0);
    m_server.clearRequests();
}

QStringList DialogsFixture::operations() const
{
    QStringList operations;
    for (const QString& target : m_server.targets())
        operations << target.mid(QStringLiteral("/quorvane2/").size());
    return operations;
}

} // namespace quorvane
