#include "ui/chrome/ClientUrlSchemeHandler.h"

#include <QWebEngineUrlRequestJob>

TClientUrlSchemeHandler::TClientUrlSchemeHandler(QObject* parent) : QWebEngineUrlSchemeHandler(parent) {}

TClientUrlSchemeHandler::~TClientUrlSchemeHandler() = default;

void TClientUrlSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job)
{
    job->fail(QWebEngineUrlRequestJob::RequestDenied);
}
