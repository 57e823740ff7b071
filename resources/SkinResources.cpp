#include "resources/SkinResources.h"

#include <QFile>
#include <mutex>

// A static library's compiled resources register only when something calls their initialiser;
// keeping the call here ties it to the first use of any picture. The initialiser's declaration
// must stay outside any namespace.
static void registerCompiledResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace quorvane {

void initSkinResources()
{
    static std::once_flag once;
    std::call_once(once, registerCompiledResources);
}

QString skinPath(const QString& name)
{
    initSkinResources();
    const QString bitmap = QStringLiteral(":/skin/%1.bmp").arg(name);
    if (QFile::exists(bitmap))
        return bitmap;
    const QString picture = QStringLiteral(":/skin/%1.png").arg(name);
    return QFile::exists(picture) ? picture : bitmap;
}

QIcon applicationIcon()
{
    initSkinResources();
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/skin/icons/quorvane-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace quorvane
