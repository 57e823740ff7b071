#include "tests/devserver/DemoServerFixture.h"

#include "devserver/AppOperations.h"
#include "platform/AnsiCodePage.h"

#include <QXmlStreamReader>

namespace quorvane {

DemoReply parseReply(const httplib::Result& result)
{
    DemoReply reply;
    if (!result)
        return reply;
    reply.status = result->status;
    reply.contentType = result->get_header_value("Content-Type");
    QXmlStreamReader xml(fromAnsi(QByteArray::fromStdString(result->body)));
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
    m_options = options();
}

DemoServerTest::~DemoServerTest()
{
    stopServer();
}

DemoServerOptions DemoServerTest::options() const
{
    return parseDemoServerOptions(
        {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--data"), dataDir()});
}

void DemoServerTest::startServer(const DemoServerOptions& options)
{
    m_options = options;
    m_server = std::make_unique<DemoServer>(options);
    m_port = m_server->start();
    ASSERT_GT(m_port, 0);
}

void DemoServerTest::restartServer()
{
    stopServer();
    startServer(m_options);
}

void DemoServerTest::stopServer()
{
    if (m_server)
        m_server->stop();
    m_server.reset();
}

httplib::Result DemoServerTest::get(const std::string& target, const httplib::Headers& headers) const
{
    httplib::Client client("127.0.0.1", m_port);
    // The admin URLs get the key the server made, as a test or the demo passes it.
    std::string withKey = target;
    if (target.rfind("/admin/", 0) == 0 && target.find("key=") == std::string::npos)
        withKey +=
            (target.find('?') == std::string::npos ? "?key=" : "&key=") + m_server->adminKey().toStdString();
    return client.Get(withKey, headers);
}

DemoReply DemoServerTest::call(const std::string& target) const
{
    const httplib::Result result = get(target);
    EXPECT_TRUE(result) << target;
    return parseReply(result);
}

QString DemoServerTest::signIn(const QString& userName, const QString& password) const
{
    const DemoReply reply = call(appBase() + "/users/userLogin?format=xml&userName=" + encode(userName) +
                                 "&password=" + encode(password));
    EXPECT_EQ(reply.code(), "0") << userName.toStdString();
    return reply.value("token");
}

QString DemoServerTest::weiboSignIn(const QString& userName, const QString& password) const
{
    const DemoReply reply = call(appBase() + "/users/weiboLogin?format=xml&userName=" + encode(userName) +
                                 "&password=" + encode(password));
    EXPECT_EQ(reply.code(), "0") << userName.toStdString();
    return reply.value("token");
}

std::string DemoServerTest::encode(const QString& value)
{
    return toAnsi(value).toPercentEncoding().toStdString();
}

std::string DemoServerTest::registerTarget(const QString& userName, const QString& password) const
{
    return appBase() + "/users/userRegister?format=xml&userName=" + encode(userName) +
           "&password=" + encode(password) +
           "&sn=" + AppOperations::registrationSignature(userName, password).toStdString();
}

} // namespace quorvane
