#include "tests/notify/PollingRig.h"

#include "config/SelvorConfig.h"
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

namespace {

std::string Envelope(const std::string& elements)
{
    return "<responsed>" + elements + "</responsed>";
}

void WriteExecutable(const QString& path, const QByteArray& content)
{
    TempProfile::WriteFile(path, content);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QString RecordFile(const TempProfile& profile)
{
    return profile.Root() + QStringLiteral("/launched.txt");
}

} // namespace

QString NewVersionDescription()
{
    return QStringLiteral("修复了若干问题\r\n新增消息提醒");
}

PollingRig::PollingRig()
{
    QDir().mkpath(AppDir());
    TempProfile::WriteFile(profile.ConfigFile(), "[Common]\r\napp_root=" + server.Url().toLatin1() +
                                                     "\r\ndown_url=" + server.Url().toLatin1() +
                                                     "/res/download\r\n");
    TSelvorConfig::ForgetCachedAddresses();
    DMod = &session;
    TMessageBox::SetTestMode(true);
}

PollingRig::~PollingRig()
{
    boxCloser_.reset();
    DMod = nullptr;
    TMessageBox::SetTestMode(true);
}

void PollingRig::ServeVersion(const QByteArray& body, int status)
{
    server.Get("/res/download/quorvane_version.txt",
               [this, body, status](const httplib::Request&, httplib::Response& response) {
                   Record(QStringLiteral("V"));
                   response.status = status;
                   response.set_content(body.toStdString(), "text/plain");
               });
}

void PollingRig::ServeDescription(const QByteArray& body)
{
    server.Get("/res/download/quorvane_version_desc.txt",
               [this, body](const httplib::Request&, httplib::Response& response) {
                   Record(QStringLiteral("D"));
                   response.set_content(body.toStdString(), "text/plain");
               });
}

void PollingRig::ServePackage(bool valid, const QByteArray& version)
{
    const QByteArray package =
        valid ? BuildCabinet({{"quorvane_client.exe", "the new client"}}) : QByteArray("MSCF but not really");
    const QString file = profile.Root() + QStringLiteral("/signed.cab");
    QFile::remove(file + QStringLiteral(".minisig"));
    TempProfile::WriteFile(file, package);
    EXPECT_TRUE(SignWithMinisign(file, QStringLiteral("version:") + QString::fromLatin1(version.left(18)),
                                 TestSecretKey()));
    ServeSignature(TempProfile::ReadFile(file + QStringLiteral(".minisig")).toLatin1());
    server.Get("/res/download/quorvane_upgrade.cab",
               [this, package](const httplib::Request&, httplib::Response& response) {
                   Record(QStringLiteral("K"));
                   response.set_content(package.toStdString(), "application/vnd.ms-cab-compressed");
               });
}

void PollingRig::ServeSignature(const QByteArray& signature)
{
    server.Reply("/res/download/quorvane_upgrade.cab.minisig", signature.toStdString(), 200, "text/plain");
}

TTimerThreadOptions PollingRig::Options(uint32_t interval, std::shared_ptr<TPollClock> clock) const
{
    TTimerThreadOptions options;
    options.interval = interval;
    options.clock = std::move(clock);
    options.applicationDir = AppDir();
    options.trustedKey = TestPublicKey();
    return options;
}

void PollingRig::ServePolls(const QList<PollReply>& replies)
{
    {
        std::lock_guard lock(mutex_);
        polls_ = replies;
        pollCount_ = 0;
    }
    server.Get(PollPath().toStdString(), [this](const httplib::Request&, httplib::Response& response) {
        PollReply reply = PollReply::Nothing;
        {
            std::lock_guard lock(mutex_);
            if (!polls_.isEmpty())
                reply = polls_[std::min<qsizetype>(pollCount_, polls_.size() - 1)];
            ++pollCount_;
        }
        Record(QStringLiteral("P"));
        switch (reply) {
        case PollReply::Nothing:
            response.set_content(Envelope("<code>0</code><url>0</url>"), "text/xml");
            break;
        case PollReply::Notification:
            response.set_content(Envelope("<code>0</code><url>/notice/1</url><width>300</width>"
                                          "<height>200</height><title_height>24</title_height>"),
                                 "text/xml");
            break;
        case PollReply::Refused:
            response.set_content(Envelope("<code>1</code><msg>no</msg>"), "text/xml");
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

void PollingRig::InstallUpdater()
{
    const QByteArray record = QFile::encodeName(RecordFile(profile));
    WriteExecutable(AppDir() + QStringLiteral("/upgrade"),
                    "#!/bin/sh\n{ for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" + record +
                        ".part' && mv '" + record + ".part' '" + record + "'\necho ready\n");
}

QStringList PollingRig::UpdaterArguments(int timeoutMs) const
{
    const QString record = RecordFile(profile);
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

void PollingRig::CloseUnpackFailureBoxes()
{
    boxCloser_ = std::make_unique<QTimer>();
    QObject::connect(boxCloser_.get(), &QTimer::timeout, [this] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (!box || !box->isVisible())
                continue;
            {
                std::lock_guard lock(mutex_);
                failureBoxes_.append({box->windowTitle(), box->text(), box->standardButtons(), box->icon()});
            }
            Record(QStringLiteral("!"));
            box->accept();
        }
    });
    boxCloser_->start(10);
}

TTimerThreadOwner PollingRig::Owner(std::function<void(const APIResponse&)> onShow)
{
    return {&ownerWindow,
            [this, onShow](const APIResponse& information) {
                {
                    std::lock_guard lock(mutex_);
                    shown_.append(information);
                }
                Record(QStringLiteral("S"));
                if (onShow)
                    onShow(information);
            },
            [this] { Record(QStringLiteral("X")); }};
}

void PollingRig::Record(const QString& events)
{
    std::lock_guard lock(mutex_);
    events_ += events;
}

void PollingRig::EndCycle()
{
    const QList<TShownMessage> prompts = TMessageBox::TakeShown();
    std::lock_guard lock(mutex_);
    prompts_ += prompts;
    events_ += QString(prompts.size(), QLatin1Char('?')) + QLatin1Char('|');
}

QStringList PollingRig::Cycles() const
{
    static const QString order = QStringLiteral("VK!D?XPS");
    QString events;
    {
        std::lock_guard lock(mutex_);
        events = events_;
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

int PollingRig::Count(QChar letter) const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(events_.count(letter));
}

QList<APIResponse> PollingRig::Shown() const
{
    std::lock_guard lock(mutex_);
    return shown_;
}

QList<TShownMessage> PollingRig::Prompts() const
{
    std::lock_guard lock(mutex_);
    return prompts_;
}

QList<TShownMessage> PollingRig::FailureBoxes() const
{
    std::lock_guard lock(mutex_);
    return failureBoxes_;
}
