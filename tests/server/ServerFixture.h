#pragma once

#include "config/ConfigStore.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempProfile.h"

#include <QString>

#include <gtest/gtest.h>
#include <string>

namespace quorvane {

// A fresh profile whose quorvane.ini points the application server at a loopback server.
class ServerFixture : public ::testing::Test
{
protected:
    ServerFixture() { pointAppRootAt(m_server.url()); }

    void pointAppRootAt(const QString& root)
    {
        TempProfile::writeFile(m_profile.configFile(), "[Common]\r\napp_root=" + root.toLatin1() + "\r\n");
        ConfigStore::forgetCachedAddresses();
    }

    // The application URL the client builds from that file (the default context root).
    QString appUrl() const { return m_server.url() + QStringLiteral("/quorvane2"); }

    // A reply envelope around the given elements.
    static std::string envelope(const std::string& elements)
    {
        return "<responsed>" + elements + "</responsed>";
    }

    TempProfile m_profile;
    LoopbackServer m_server;
};

} // namespace quorvane
