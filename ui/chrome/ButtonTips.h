#pragma once

#include <QString>

// Tooltips of the buttons on the dark title bars.
inline QString MinimizeTip()
{
    return QStringLiteral("最小化");
}

inline QString CloseTip()
{
    return QStringLiteral("关闭");
}

inline QString OptionTip()
{
    return QStringLiteral("主菜单");
}
