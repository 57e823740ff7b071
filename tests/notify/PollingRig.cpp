#include "tests/notify/PollingRig.h"

#include "config/ConfigStore.h"
#include "platform/AnsiCodePage.h"
#include "tests/support/CabinetWriter.h"
#include "tests/support/Minisign.h"
#include "tests/support/TestUpdateKeys.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace quorvane {

namespace {

std::string envelope(const std::string& elements)
{
    return "<responsed>" + elements + "</responsed>";
}

void writeExecutable(const QString& path, const QByteArray& content)
{
    TempProfile::writeFile(path, content);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QString recordFile(const TempProfile& profile)
{
    return profile.root() + QStringLiteral("/launched.txt");
}

} // namespace

QString newVersionDescription()
{
    return QStringLiteral("修复了若干问题\r\n新增消息提醒");
}

PollingRig::PollingRig()
{
    QDir().mkpath(appDir());
    TempProfile::writeFile(profile.configFile(), "[Common]\r\napp_root=" + server.url().toLatin1() +
                                                     "\r\ndown_url=" + server.url().toLatin1() +
                                                     "/res/download\r\n");
    ConfigStore::forgetCachedAddresses();
    MessageBox::setTestMode(true);
}

PollingRig::~PollingRig()
{
    m_boxCloser.reset();
    MessageBox::setTestMode(true);
}

void PollingRig::serveVersion(const QByteArray& body, int status)
{
    server.get("/res/download/quorvane_version.txt",
               [this, body, status](const httplib::Request&, httplib::Response& response) {
                   record(QStringLiteral("V"));
                   response.status = status;
                   response.set_content(body.toStdString(), "text/plain");
               });
}

void PollingRig::serveDescription(const QByteArray& body)
{
    server.get("/res/download/quorvane_version_desc.txt",
               [this, body](const httplib::Request&, httplib::Response& response) {
                   record(QStringLiteral("D"));
                   response.set_content(body.toStdString(), "text/plain");
               });
}

void PollingRig::servePackage(bool valid, const QByteArray& version)
{
    const QByteArray package =
        valid ? buildCabinet({{"quorvane_client.exe", "the new client"}}) : QByteArray("MSCF but not really");
    const QString file = profile.root() + QStringLiteral("/signed.cab");
    QFile::remove(file + QStringLiteral(".minisig"));
    TempProfile::writeFile(file, package);
    EXPECT_TRUE(signWithMinisign(file, QStringLiteral("version:") + QString::fromLatin1(version.left(18)),
                                 testSecretKey()));
    serveSignature(TempProfile::readFile(file + QStringLiteral(".minisig")).toLatin1());
    server.get("/res/download/quorvane_upgrade.cab",
               [this, package](const httplib::Request&, httplib::Response& response) {
                   record(QStringLiteral("K"));
                   response.set_content(package.toStdString(), "application/vnd.ms-cab-compressed");
               });
}

void PollingRig::serveSignature(const QByteArray& signature)
{
    server.reply("/res/download/quorvane_upgrade.cab.minisig", signature.toStdString(), 200, "text/plain");
}

PollerOptions PollingRig::options(uint32_t interval, std::shared_ptr<PollClock> clock) const
{
    PollerOptions options;
    options.interval = interval;
    options.clock = std::move(clock);
    options.applicationDir = appDir();
    options.trustedKey = testPublicKey();
    return options;
}

void PollingRig::servePolls(const QList<PollReply>& replies)
{
    {
        std::lock_guard lock(m_mutex);
        m_polls = replies;
        m_pollCount = 0;
    }
    server.get(pollPath().toStdString(), [this](const httplib::Request&, httplib::Response& response) {
        PollReply reply = PollReply::Nothing;
        {
            std::lock_guard lock(m_mutex);
            if (!m_polls.isEmpty())
                reply = m_polls[std::min<qsizetype>(m_pollCount, m_polls.size() - 1)];
            ++m_pollCount;
        }
        record(QStringLiteral("P"));
        switch (reply) {
        case PollReply::Nothing:
            response.set_content(envelope("<code>0</code><url>0</url>"), "text/xml");
            break;
        case PollReply::Notification:
            response.set_content(envelope("<code>0</code><url>/notice/1</url><width>300</width>"
                                          "<height>200</height><title_height>24</title_height>"),
                                 "text/xml");
            break;
        case PollReply::Refused:
            response.set_content(envelope("<code>1</code><msg>no</msg>"), "text/xml");
            break;
        case PollReply::HttpError:
            response.status = 500;
            response.set_content("down", "text/plain");
            break;
        case PollReply::Garbage:
            response.set_content("<html><body>not a reply", "text/html");
            break;
        }
    });
}

void PollingRig::installUpdater()
{
    const QByteArray record = QFile::encodeName(recordFile(profile));
    writeExecutable(appDir() + QStringLiteral("/upgrade"),
                    "#!/bin/sh\n{ for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" + record +
                        ".part' && mv '" + record + ".part' '" + record + "'\necho ready\n");
}

QStringList PollingRig::updaterArguments(int timeoutMs) const
{
    const QString record = recordFile(profile);
    const QDeadlineTimer deadline(timeoutMs);
    while (!QFileInfo::exists(record)) {
        if (deadline.hasExpired())
            return {};
        QThread::msleep(10);
    }
    QFile file(record);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    lines.removeAll(QString());
    return lines;
}

void PollingRig::closeUnpackFailureBoxes()
{
    m_boxCloser = std::make_unique<QTimer>();
    QObject::connect(m_boxCloser.get(), &QTimer::timeout, [this] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (!box || !box->isVisible())
                continue;
            {
                std::lock_guard lock(m_mutex);
                m_failureBoxes.append({box->windowTitle(), box->text(), box->standardButtons(), box->icon()});
            }
            record(QStringLiteral("!"));
            box->accept();
        }
    });
    m_boxCloser->start(10);
}

std::unique_ptr<Poller> PollingRig::makePoller(PollerOptions options,
                                               std::function<void(const Reply&)> onShow)
{
    auto poller = std::make_unique<Poller>(session, std::move(options));
    poller->setPromptParent(&ownerWindow);
    QObject::connect(poller.get(), &Poller::notificationArrived, [this, onShow](const Reply& information) {
        {
            std::lock_guard lock(m_mutex);
            m_shown.append(information);
        }
        record(QStringLiteral("S"));
        if (onShow)
            onShow(information);
    });
    QObject::connect(poller.get(), &Poller::exitRequested, [this] { record(QStringLiteral("X")); });
    QObject::connect(poller.get(), &Poller::sessionRefused, [this] { record(QStringLiteral("R")); });
    return poller;
}

void PollingRig::record(const QString& events)
{
    std::lock_guard lock(m_mutex);
    m_events += events;
}

void PollingRig::endCycle()
{
    const QList<ShownMessage> prompts = MessageBox::takeShown();
    std::lock_guard lock(m_mutex);
    m_prompts += prompts;
    m_events += QString(prompts.size(), QLatin1Char('?')) + QLatin1Char('|');
}

QStringList PollingRig::cycles() const
{
    static const QString order = QStringLiteral("VK!D?XPRS");
    QString events;
    {
        std::lock_guard lock(m_mutex);
        events = m_events;
    }
    QStringList cycles = events.split(QLatin1Char('|'));
    if (!cycles.isEmpty() && cycles.last().isEmpty())
        cycles.removeLast();
    for (QString& cycle : cycles) {
        QString sorted;
        for (const QChar letter : order)
            sorted += QString(cycle.count(letter), letter);
        // Anything unexpected stays visible at the end.
        for (const QChar letter : cycle) {
            if (!order.contains(letter))
                sorted += letter;
        }
        cycle = sorted;
    }
    return cycles;
}

int PollingRig::count(QChar letter) const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_events.count(letter));
}

QList<Reply> PollingRig::shown() const
{
    std::lock_guard lock(m_mutex);
    return m_shown;
}

QList<ShownMessage> PollingRig::prompts() const
{
    std::lock_guard lock(m_mutex);
    return m_prompts;
}

QList<ShownMessage> PollingRig::failureBoxes() const
{
    std::lock_guard lock(m_mutex);
    return m_failureBoxes;
}

} // namespace quorvane
