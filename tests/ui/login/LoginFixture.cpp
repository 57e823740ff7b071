#include "tests/ui/login/LoginFixture.h"

#include "tests/support/WindowRequests.h"

#include "config/ConfigKeys.h"
#include "config/ConfigStore.h"
#include "platform/AnsiCodePage.h"
#include "platform/PrivateProfile.h"
#include "ui/chrome/MessageBox.h"
#include "ui/login/LoginFrame.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTest>
#include <QWindow>

namespace quorvane {

LoginFixture::LoginFixture()
{
    TempProfile::writeFile(m_profile.configFile(),
                           "[Common]\r\napp_root=" + m_server.url().toLatin1() + "\r\n");
    ConfigStore::forgetCachedAddresses();
    MessageBox::setTestMode(true);
    MessageBox::takeShown();
}

LoginFixture::~LoginFixture()
{
    processEvents();
    MessageBox::takeShown();
}

SavedLogin LoginFixture::savedLogin() const
{
    return ConfigStore().loadConfigInfo();
}

QString LoginFixture::iniValue(const char* key) const
{
    return readProfileString(m_profile.configFile(), QString::fromLatin1(ConfigKey::kSection),
                             QString::fromLatin1(key), QStringLiteral("<none>"));
}

std::string LoginFixture::replyBody(const std::string& elements)
{
    return toAnsi(QString::fromStdString("<responsed>" + elements + "</responsed>")).toStdString();
}

QString LoginFixture::param(const httplib::Request& request, const char* name)
{
    return fromAnsi(QByteArray::fromStdString(request.get_param_value(name)));
}

void LoginFixture::answer(const std::string& operation, const std::string& elements)
{
    m_server.reply("/quorvane2/users/" + operation, replyBody(elements));
}

void LoginFixture::fail(const std::string& operation)
{
    m_server.reply("/quorvane2/users/" + operation, "<html>down</html>", 500, "text/html");
}

QStringList LoginFixture::requests() const
{
    QStringList requests;
    for (const QString& target : m_server.targets())
        requests << target.mid(target.lastIndexOf(QLatin1Char('/')) + 1);
    return requests;
}

std::unique_ptr<LoginWindow> LoginFixture::openWindow()
{
    auto window = std::make_unique<LoginWindow>(m_session);
    EXPECT_TRUE(showAndActivate(*window));
    return window;
}

bool showAndActivate(QWidget& window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowExposed(&window, 10000) && QTest::qWaitForWindowActive(&window, 10000);
}

void processEvents()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void pressKey(QWidget& window, Qt::Key key)
{
    QTest::keyClick(window.windowHandle(), key);
    waitForWindowRequests();
}

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
    waitForWindowRequests();
}

ErrorShown shownError(const LoginFrame& frame)
{
    ErrorShown shown;
    int visible = 0;
    for (const QLabel* label : frame.findChildren<QLabel*>()) {
        if (!label->objectName().endsWith(QLatin1String("Error")) || label->isHidden())
            continue;
        ++visible;
        shown = {label->objectName(), label->text()};
        // The icon beside the label shows with it.
        const QString icon = QStringLiteral("img") + label->objectName().mid(3);
        const QWidget* image = frame.findChild<QWidget*>(icon);
        EXPECT_TRUE(image && !image->isHidden()) << icon.toStdString();
    }
    EXPECT_LE(visible, 1) << "more than one error shown";
    return shown;
}

QString caret(const QWidget& window)
{
    const QWidget* focus = window.focusWidget();
    return focus ? focus->objectName() : QString();
}

} // namespace quorvane
