#include "tests/ui/login/LoginFixture.h"

#include "config/ConfigKeys.h"
#include "config/SelvorConfig.h"
#include "platform/AnsiCodePage.h"
#include "platform/PrivateProfile.h"
#include "ui/chrome/MessageBox.h"
#include "ui/login/LoginFrameBase.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTest>
#include <QWindow>

LoginFixture::LoginFixture()
{
    TempProfile::WriteFile(profile.ConfigFile(), "[Common]\r\napp_root=" + server.Url().toLatin1() + "\r\n");
    TSelvorConfig::ForgetCachedAddresses();
    DMod = &session;
    TMessageBox::SetTestMode(true);
    TMessageBox::TakeShown();
}

LoginFixture::~LoginFixture()
{
    ProcessEvents();
    DMod = nullptr;
    TMessageBox::TakeShown();
}

SelvorConfigInfo LoginFixture::SavedLogin() const
{
    return TSelvorConfig().LoadConfigInfo();
}

QString LoginFixture::IniValue(const char* key) const
{
    return ReadProfileString(profile.ConfigFile(), QString::fromLatin1(ConfigKey::kSection),
                             QString::fromLatin1(key), QStringLiteral("<none>"));
}

std::string LoginFixture::ReplyBody(const std::string& elements)
{
    return ToAnsi(QString::fromStdString("<responsed>" + elements + "</responsed>")).toStdString();
}

QString LoginFixture::Param(const httplib::Request& request, const char* name)
{
    return FromAnsi(QByteArray::fromStdString(request.get_param_value(name)));
}

void LoginFixture::Answer(const std::string& operation, const std::string& elements)
{
    server.Reply("/quorvane2/users/" + operation, ReplyBody(elements));
}

void LoginFixture::Fail(const std::string& operation)
{
    server.Reply("/quorvane2/users/" + operation, "<html>down</html>", 500, "text/html");
}

QStringList LoginFixture::Requests() const
{
    QStringList requests;
    for (const QString& target : server.Targets())
        requests << target.mid(target.lastIndexOf(QLatin1Char('/')) + 1);
    return requests;
}

std::unique_ptr<TfrmLogin> LoginFixture::OpenWindow()
{
    auto window = std::make_unique<TfrmLogin>();
    EXPECT_TRUE(ShowAndActivate(*window));
    return window;
}

bool ShowAndActivate(QWidget& window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowExposed(&window, 10000) && QTest::qWaitForWindowActive(&window, 10000);
}

void ProcessEvents()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void PressKey(QWidget& window, Qt::Key key)
{
    QTest::keyClick(window.windowHandle(), key);
}

void Click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

TShownError ShownError(const TLoginFrameBase& frame)
{
    TShownError shown;
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

QString Caret(const QWidget& window)
{
    const QWidget* focus = window.focusWidget();
    return focus ? focus->objectName() : QString();
}
