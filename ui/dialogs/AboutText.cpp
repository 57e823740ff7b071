#include "ui/dialogs/AboutText.h"

#include "config/ConfigStore.h"
#include "update/DistributionPackage.h"
#include "update/TrustedKey.h"

namespace quorvane {

QString diagnosticsText()
{
    return diagnosticsText(trustedUpdateKey(), isDistributionPackage());
}

QString diagnosticsText(const QString& updateKey, bool packageManaged)
{
    const ConfigStore config;
    const QString lineEnd = QStringLiteral("\r\n");
    QString noUpdates;
    if (packageManaged)
        noUpdates = QStringLiteral("自动升级:由系统的软件包管理器更新") + lineEnd;
    else if (updateKey.isEmpty())
        noUpdates = QStringLiteral("自动升级:未内置升级密钥，不会自动升级") + lineEnd;
    return QStringLiteral("appUrl:") + config.getAppUrl() + lineEnd + QStringLiteral("downUrl:") +
           config.getDownUrl() + lineEnd + QStringLiteral("休眠时间:") + QStringLiteral("120000") + lineEnd +
           QStringLiteral("下载间隔倍数:") + QStringLiteral("10") + lineEnd + noUpdates;
}

QString legalNoticeLine1()
{
    return QStringLiteral("版权所有 © 2012 Selvor。保留所有权利。");
}

QString legalNoticeLine2()
{
    return QStringLiteral("本软件受著作权法及国际条约保护。");
}

QString legalStatement()
{
    return QStringLiteral("使用声明\n"
                          "1. Quorvane 客户端供 Selvor 房产价格信息服务的注册用户使用。\n"
                          "2. 客户端显示的房产价格信息来自服务器，仅供参考，不构成投资或交易建议。\n"
                          "3. 未经 Selvor 书面许可，不得复制、修改、出租或转售本软件及其提供的信息。\n"
                          "4. 选择“记住密码”时，密码经加扰后保存在本机；请勿在他人共用的电脑上记住密码。\n"
                          "5. 客户端定期联系服务器，以接收消息提醒和检查新版本。");
}

} // namespace quorvane
