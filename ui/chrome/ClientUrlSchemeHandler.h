#pragma once

#include <QWebEngineUrlSchemeHandler>

namespace quorvane {

// Serves "vemtraclient" URLs that no window cancelled: they stand for requests to the client,
// not for pages, so the browser shows its error page as for any address it cannot open.
class ClientUrlSchemeHandler final : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClientUrlSchemeHandler)

public:
    explicit ClientUrlSchemeHandler(QObject* parent = nullptr);
    ~ClientUrlSchemeHandler() override;

    void requestStarted(QWebEngineUrlRequestJob* job) override;
};

} // namespace quorvane
