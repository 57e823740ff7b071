#pragma once

#include <QString>

namespace quorvane {

// Tooltips of the buttons on the dark title bars.
inline QString minimizeTip()
{
    return QStringLiteral("最小化");
}

inline QString closeTip()
{
    return QStringLiteral("关闭");
}

inline QString optionTip()
{
    return QStringLiteral("主菜单");
}

} // namespace quorvane
