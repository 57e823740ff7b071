#include "ui/chrome/BrowserProfile.h"

#include "platform/SystemPaths.h"
#include "ui/chrome/ClientUrlSchemeHandler.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QRandomGenerator>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlScheme>

namespace quorvane {

namespace {

// Runs in every frame but the top one, in a world of its own that the page cannot reach, and
// reports the frame's document once it has loaded completely. The top page is reported by
// the engine's own load signal.
QWebEngineScript frameCompleteScript()
{
    QWebEngineScript script;
    script.setName(QStringLiteral("quorvane-frame-complete"));
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setRunsOnSubFrames(true);
    script.setSourceCode(QStringLiteral(R"JS(
(function () {
    if (window.top === window)
        return;
    var report = function () { console.log(%1 + document.URL); };
    if (document.readyState === "complete")
        report();
    else
        window.addEventListener("load", report, { once: true });
})();
)JS")
                             .arg(QStringLiteral("\"%1\"").arg(frameCompleteMarker())));
    return script;
}

} // namespace

void registerClientUrlScheme()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    QWebEngineUrlScheme scheme(clientUrlScheme());
    // Path syntax keeps the text after "vemtraclient:" as the page wrote it: the action name
    // is not taken for a host name.
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QWebEngineProfile* browserProfile()
{
    static QPointer<QWebEngineProfile> profile;
    if (profile)
        return profile;
    const QString dataDir = localAppDataDir();
    if (dataDir.isEmpty()) {
        // Without a data folder the browser keeps nothing beyond this run.
        profile = new QWebEngineProfile(QCoreApplication::instance());
    } else {
        profile = new QWebEngineProfile(QStringLiteral("quorvane"), QCoreApplication::instance());
        const QString browserDir = QDir(dataDir).filePath(QStringLiteral("quorvane/browser"));
        profile->setPersistentStoragePath(browserDir);
        profile->setCachePath(QDir(browserDir).filePath(QStringLiteral("cache")));
    }
    // A link of a scheme the engine does not know (smb:, ms-msdt:, mailto:) is never handed to
    // the desktop; the client URL action "open" is the way out to the user's programs.
    profile->settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    profile->installUrlSchemeHandler(clientUrlScheme(), new ClientUrlSchemeHandler(profile));
    profile->scripts()->insert(frameCompleteScript());
    return profile;
}

const QString& frameCompleteMarker()
{
    static const QString marker = QStringLiteral("quorvane-frame-complete-%1:")
                                      .arg(QString::number(QRandomGenerator::system()->generate64(), 16));
    return marker;
}

} // namespace quorvane
