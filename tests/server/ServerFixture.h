#pragma once

#include "config/SelvorConfig.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempProfile.h"

#include <QString>

#include <gtest/gtest.h>
#include <string>

// A fresh profile whose quorvane.ini points the application server at a loopback server.
class ServerFixture : public ::testing::Test
{
protected:
    ServerFixture() { PointAppRootAt(server.Url()); }

    void PointAppRootAt(const QString& root)
    {
        TempProfile::WriteFile(profile.ConfigFile(), "[Common]\r\napp_root=" + root.toLatin1() + "\r\n");
        TSelvorConfig::ForgetCachedAddresses();
    }

    // The application URL the client builds from that file (the default context root).
    QString AppUrl() const { return server.Url() + QStringLiteral("/quorvane2"); }

    // A reply envelope around the given elements.
    static std::string Envelope(const std::string& elements)
    {
        return "<responsed>" + elements + "</responsed>";
    }

    TempProfile profile;
    LoopbackServer server;
};
