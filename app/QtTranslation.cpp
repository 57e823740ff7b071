#include "app/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace quorvane {

bool installQtTranslation(QCoreApplication& app)
{
    return installQtTranslationFrom(app, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

bool installQtTranslationFrom(QCoreApplication& app, const QString& folder)
{
    // The client speaks Chinese only, so Qt's catalogue follows the client, not the locale.
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), folder) &&
        QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}

} // namespace quorvane
