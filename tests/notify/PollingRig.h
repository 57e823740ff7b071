#pragma once

#include "notify/TimerThread.h"
#include "notify/TimerThreadOwner.h"
#include "server/APIResponse.h"
#include "server/DataModule.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempProfile.h"
#include "ui/chrome/MessageBox.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <mutex>

class QTimer;

// What the application server answers to a notification poll.
enum class PollReply
{
    Nothing,      // success, url "0"
    Notification, // success, a page of 300 x 200 pixels
    Refused,      // code 1
    HttpError,    // status 500
    Garbage       // a body that is no XML
};

// A fresh profile whose quorvane.ini points the application server and the download server at a
// loopback server, a session (DMod) that talks to it, an application folder, and an owner window
// stand-in that records what the polling thread hands over.
//
// What happens is written down as letters, in the order it happens: V version file, K package,
// D description, ! unpack-failure box, ? update prompt, X exit, P poll, S notification shown.
// EndCycle closes a cycle with "|".
class PollingRig final
{
public:
    PollingRig();
    ~PollingRig();
    PollingRig(const PollingRig&) = delete;
    PollingRig& operator=(const PollingRig&) = delete;

    QString AppDir() const { return profile.Root() + QStringLiteral("/app"); }
    QString AppUrl() const { return server.Url() + QStringLiteral("/quorvane2"); }
    static QString PollPath() { return QStringLiteral("/quorvane2/information/getInformationList"); }

    void ServeVersion(const QByteArray& body, int status = 200);
    void ServeDescription(const QByteArray& body);
    // A package holding a new client executable, signed for `version` with the key Options()
    // trusts; `valid` false serves one that does not unpack.
    void ServePackage(bool valid = true, const QByteArray& version = "01.00.201205281430");
    // The package's signature file.
    void ServeSignature(const QByteArray& signature);
    // Options for a polling thread of this rig: its application folder and the test key.
    TTimerThreadOptions Options(uint32_t interval = TTimerThread::DefaultInterval,
                                std::shared_ptr<TPollClock> clock = {}) const;
    // The replies to the polls in turn; the last one repeats.
    void ServePolls(const QList<PollReply>& replies);
    // An updater program in the application folder that writes down its arguments and says it
    // is ready.
    void InstallUpdater();
    // The arguments the updater was started with; empty when it did not start in time.
    QStringList UpdaterArguments(int timeoutMs = 20000) const;
    // Closes every unpack-failure box that comes up, writing "!".
    void CloseUnpackFailureBoxes();

    // An owner that writes "S" for a notification and "X" for the exit, optionally doing more.
    TTimerThreadOwner Owner(std::function<void(const APIResponse&)> onShow = {});

    void Record(const QString& events);
    // Adds "?" for every update prompt shown since the last call, then "|".
    void EndCycle();
    // Everything written so far, cut into cycles, each cycle's letters in the order
    // V K ! D ? X P S (the order of one cycle's steps).
    QStringList Cycles() const;

    // How often a letter has been written so far.
    int Count(QChar letter) const;
    QList<APIResponse> Shown() const;
    QList<TShownMessage> Prompts() const;
    QList<TShownMessage> FailureBoxes() const;

    TempProfile profile;
    LoopbackServer server;
    TDMod session{THttpLimits{2000, 5000, 1024 * 1024, 0, 0}};
    QWidget ownerWindow;

private:
    mutable std::mutex mutex_;
    QString events_;
    QList<APIResponse> shown_;
    QList<TShownMessage> prompts_;
    QList<TShownMessage> failureBoxes_;
    QList<PollReply> polls_;
    int pollCount_ = 0;
    std::unique_ptr<QTimer> boxCloser_;
};

// The description of the new version the download server publishes.
QString NewVersionDescription();
