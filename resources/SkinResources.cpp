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

QString skinPath(const QString& name, qreal devicePixelRatio)
{
    initSkinResources();
    const QString scaled = devicePixelRatio > 1 ? name + QStringLiteral("@2x") : name;
    for (const QString& candidate : {scaled, name}) {
        for (const char* suffix : {".bmp", ".png"}) {
            const QString path = QStringLiteral(":/skin/") + candidate + QLatin1String(suffix);
            if (QFile::exists(path))
                return path;
        }
    }
    return QStringLiteral(":/skin/%1.bmp").arg(name);
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
