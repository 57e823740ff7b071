#include "tests/devserver/DemoServerFixture.h"

#include "devserver/AppOperations.h"
#include "platform/AnsiCodePage.h"

#include <QXmlStreamReader>

TReply ParseReply(const httplib::Result& result)
{
    TReply reply;
    if (!result)
        return reply;
    reply.status = result->status;
    reply.contentType = result->get_header_value("Content-Type");
    QXmlStreamReader xml(FromAnsi(QByteArray::fromStdString(result->body)));
    int depth = 0;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (depth == 1) {
                EXPECT_EQ(xml.name(), QLatin1String("responsed"));
            } else if (depth == 2) {
                const QString name = xml.name().toString();
                reply.values.insert(name, xml.readElementText());
                --depth;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << "\n" << result->body;
    return reply;
}

DemoServerTest::DemoServerTest()
{
    options_ = Options();
}

DemoServerTest::~DemoServerTest()
{
    StopServer();
}

TDemoServerOptions DemoServerTest::Options() const
{
    return ParseDemoServerOptions(
        {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--data"), DataDir()});
}

void DemoServerTest::StartServer(const TDemoServerOptions& options)
{
    options_ = options;
    server_ = std::make_unique<TDemoServer>(options);
    port_ = server_->Start();
    ASSERT_GT(port_, 0);
}

void DemoServerTest::RestartServer()
{
    StopServer();
    StartServer(options_);
}

void DemoServerTest::StopServer()
{
    if (server_)
        server_->Stop();
    server_.reset();
}

httplib::Result DemoServerTest::Get(const std::string& target, const httplib::Headers& headers) const
{
    httplib::Client client("127.0.0.1", port_);
    // The admin URLs get the key the server made, as a test or the demo passes it.
    std::string withKey = target;
    if (target.rfind("/admin/", 0) == 0 && target.find("key=") == std::string::npos)
        withKey +=
            (target.find('?') == std::string::npos ? "?key=" : "&key=") + server_->AdminKey().toStdString();
    return client.Get(withKey, headers);
}

TReply DemoServerTest::Call(const std::string& target) const
{
    const httplib::Result result = Get(target);
    EXPECT_TRUE(result) << target;
    return ParseReply(result);
}

QString DemoServerTest::SignIn(const QString& userName, const QString& password) const
{
    const TReply reply = Call(AppBase() + "/users/userLogin?format=xml&userName=" + Encode(userName) +
                              "&password=" + Encode(password));
    EXPECT_EQ(reply.Code(), "0") << userName.toStdString();
    return reply.Value("token");
}

QString DemoServerTest::WeiboSignIn(const QString& userName, const QString& password) const
{
    const TReply reply = Call(AppBase() + "/users/weiboLogin?format=xml&userName=" + Encode(userName) +
                              "&password=" + Encode(password));
    EXPECT_EQ(reply.Code(), "0") << userName.toStdString();
    return reply.Value("token");
}

std::string DemoServerTest::Encode(const QString& value)
{
    return ToAnsi(value).toPercentEncoding().toStdString();
}

std::string DemoServerTest::RegisterTarget(const QString& userName, const QString& password) const
{
    return AppBase() + "/users/userRegister?format=xml&userName=" + Encode(userName) +
           "&password=" + Encode(password) +
           "&sn=" + TAppOperations::RegistrationSignature(userName, password).toStdString();
}
