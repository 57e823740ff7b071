#pragma once

#include "tests/support/LoopbackServer.h"
#include "tests/support/TempProfile.h"

#include <QByteArray>
#include <QMap>
#include <QString>

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace quorvane {

// A fresh profile whose quorvane.ini points both servers at a loopback server that misbehaves on
// purpose, an application folder of its own, and a snapshot of everything the client must not
// write when a server misbehaves: the configuration, the hand-over file, the application folder.
class HostileFixture : public ::testing::Test
{
protected:
    HostileFixture();
    ~HostileFixture() override;

    QString appDir() const { return m_profile.root() + QStringLiteral("/app"); }
    QString downloadRoot() const { return m_server.url() + QStringLiteral("/down"); }
    // The application URL of the client (the default context root).
    QString appUrl() const { return m_server.url() + QStringLiteral("/quorvane2"); }

    // Every file below the data home and the application folder, with its content.
    QMap<QString, QByteArray> snapshot() const;
    // Update packages left in the temporary folder or the staging folder.
    QStringList packageFilesLeft() const;

    // The ways of misbehaving, each for the paths matching `pattern`.
    // A chunked reply that never ends: `chunkBytes` at a time, `pauseMs` apart.
    void serveEndless(const std::string& pattern, size_t chunkBytes, int pauseMs);
    // Announces `announced` bytes, sends `sent` of them, then waits until the test ends.
    void serveStallingHalfWay(const std::string& pattern, size_t announced, size_t sent);
    // A reply of `size` bytes of `fill`, made as it goes out.
    void serveHuge(const std::string& pattern, size_t size, char fill);
    // A redirect to `location`.
    void serveRedirect(const std::string& pattern, const std::string& location);

    TempProfile m_profile;
    // Outlives the server: its handlers watch it to let go of their connections at the end.
    std::shared_ptr<std::atomic<bool>> m_ending = std::make_shared<std::atomic<bool>>(false);
    LoopbackServer m_server;
};

// An XML reply envelope around the given elements.
std::string envelope(const std::string& elements);

} // namespace quorvane
