#include "ui/chrome/ClientUrlSchemeHandler.h"

#include <QWebEngineUrlRequestJob>

namespace quorvane {

ClientUrlSchemeHandler::ClientUrlSchemeHandler(QObject* parent) : QWebEngineUrlSchemeHandler(parent) {}

ClientUrlSchemeHandler::~ClientUrlSchemeHandler() = default;

void ClientUrlSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job)
{
    job->fail(QWebEngineUrlRequestJob::RequestDenied);
}

} // namespace quorvane
