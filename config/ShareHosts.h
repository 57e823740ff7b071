#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// The microblog service's two share hosts. Its share page and success page lie below either of
// them; the windows trust pages of these hosts, and the demo server plays both names (tests point
// them at 127.0.0.1 through Chromium's "--host-resolver-rules", never by changing these).
inline constexpr const char* kShareHosts[] = {"service.weibo.com", "v.t.sina.com.cn"};

inline QStringList shareHosts()
{
    QStringList hosts;
    for (const char* host : kShareHosts)
        hosts << QString::fromLatin1(host);
    return hosts;
}

} // namespace quorvane
