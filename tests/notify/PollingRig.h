#pragma once

#include "notify/Poller.h"
#include "server/Reply.h"
#include "server/Session.h"
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

namespace quorvane {

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
// loopback server, a session that talks to it, an application folder, and an owner window
// stand-in for the update prompt; the rig records what the polling thread hands over.
//
// What happens is written down as letters, in the order it happens: V version file, K package,
// D description, ! unpack-failure box, ? update prompt, X exit, P poll, R session refused,
// S notification shown.
// endCycle closes a cycle with "|".
class PollingRig final
{
public:
    PollingRig();
    ~PollingRig();
    PollingRig(const PollingRig&) = delete;
    PollingRig& operator=(const PollingRig&) = delete;

    QString appDir() const { return profile.root() + QStringLiteral("/app"); }
    QString appUrl() const { return server.url() + QStringLiteral("/quorvane2"); }
    static QString pollPath() { return QStringLiteral("/quorvane2/information/getInformationList"); }

    void serveVersion(const QByteArray& body, int status = 200);
    void serveDescription(const QByteArray& body);
    // A package holding a new client executable, signed for `version` with the key Options()
    // trusts; `valid` false serves one that does not unpack.
    void servePackage(bool valid = true, const QByteArray& version = "01.00.201205281430");
    // The package's signature file.
    void serveSignature(const QByteArray& signature);
    // Options for a polling thread of this rig: its application folder and the test key.
    PollerOptions options(uint32_t interval = Poller::DefaultInterval,
                          std::shared_ptr<PollClock> clock = {}) const;
    // The replies to the polls in turn; the last one repeats.
    void servePolls(const QList<PollReply>& replies);
    // An updater program in the application folder that writes down its arguments and says it
    // is ready.
    void installUpdater();
    // The arguments the updater was started with; empty when it did not start in time.
    QStringList updaterArguments(int timeoutMs = 20000) const;
    // Closes every unpack-failure box that comes up, writing "!".
    void closeUnpackFailureBoxes();

    // A polling thread of the session whose notifications write "S" (and run `onShow`) and whose
    // exit writes "X"; its update prompt is owned by ownerWindow. Not started.
    std::unique_ptr<Poller> makePoller(PollerOptions options, std::function<void(const Reply&)> onShow = {});

    void record(const QString& events);
    // Adds "?" for every update prompt shown since the last call, then "|".
    void endCycle();
    // Everything written so far, cut into cycles, each cycle's letters in the order
    // V K ! D ? X P R S (the order of one cycle's steps).
    QStringList cycles() const;

    // How often a letter has been written so far.
    int count(QChar letter) const;
    QList<Reply> shown() const;
    QList<ShownMessage> prompts() const;
    QList<ShownMessage> failureBoxes() const;

    TempProfile profile;
    LoopbackServer server;
    Session session{HttpLimits{2000, 5000, 1024 * 1024, 0, 0}};
    QWidget ownerWindow;

private:
    mutable std::mutex m_mutex;
    QString m_events;
    QList<Reply> m_shown;
    QList<ShownMessage> m_prompts;
    QList<ShownMessage> m_failureBoxes;
    QList<PollReply> m_polls;
    int m_pollCount = 0;
    std::unique_ptr<QTimer> m_boxCloser;
};

// The description of the new version the download server publishes.
QString newVersionDescription();

} // namespace quorvane
