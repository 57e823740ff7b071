#pragma once

#include <QString>

namespace quorvane {

class LoopbackServer;

// The servers of the share window tests, started before the application object so that the
// browser engine can be told where the share hosts are: "service.weibo.com" resolves to the
// loopback server, "v.t.sina.com.cn" to the demo server, both on 127.0.0.1.
LoopbackServer& shareHostServer();
// "http://127.0.0.1:PORT" of the demo server.
QString demoServerUrl();
// The key of the demo server's admin URLs.
QString demoServerAdminKey();

} // namespace quorvane
