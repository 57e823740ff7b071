#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <httplib.h>

namespace quorvane {

namespace {

TEST(DemoServerProgram, StartsPrintsItsPortAndAccountsServesAndStopsOnTerm)
{
    QTemporaryDir data;
    QProcess program;
    program.start(QStringLiteral(QUORVANE_DEMO_SERVER_PROGRAM),
                  {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--data"), data.path(),
                   QStringLiteral("--version"), QStringLiteral("01.00.201212101200")});
    ASSERT_TRUE(program.waitForStarted());

    QString output;
    const QRegularExpression listening(QStringLiteral("listening on http://127\\.0\\.0\\.1:(\\d+)"));
    while (!output.contains(QStringLiteral("demo@weibo.com")) && program.waitForReadyRead(30000))
        output += QString::fromLocal8Bit(program.readAllStandardOutput());
    const QRegularExpressionMatch match = listening.match(output);
    ASSERT_TRUE(match.hasMatch()) << output.toStdString();
    for (const char* account :
         {"demo@quorvane.com", "agency@quorvane.com", "pending@quorvane.com", "demo@weibo.com"})
        EXPECT_TRUE(output.contains(QLatin1String(account))) << account;

    httplib::Client client("127.0.0.1", match.captured(1).toInt());
    const httplib::Result version = client.Get("/res/download/quorvane_version.txt");
    ASSERT_TRUE(version);
    EXPECT_EQ(version->body, "01.00.201212101200");

    program.terminate();
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(QString::fromLocal8Bit(program.readAllStandardOutput()).contains(QStringLiteral("stopped")));
}

TEST(DemoServerProgram, ABadCommandLineShowsTheUsage)
{
    QProcess program;
    program.start(QStringLiteral(QUORVANE_DEMO_SERVER_PROGRAM),
                  {QStringLiteral("--port"), QStringLiteral("x")});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 2);
    const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_TRUE(errors.contains(QStringLiteral("--port"))) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("usage:"))) << errors.toStdString();
}

} // namespace

} // namespace quorvane
