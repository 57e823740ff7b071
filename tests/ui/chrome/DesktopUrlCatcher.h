#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>

namespace quorvane {

// Takes the place of the desktop's programs for the given schemes while it lives: every address
// the client hands to the desktop for them is recorded here and nothing is started.
class DesktopUrlCatcher final : public QObject
{
    Q_OBJECT

public:
    explicit DesktopUrlCatcher(const QStringList& schemes);
    ~DesktopUrlCatcher() override;

    // The addresses handed over, as text.
    const QStringList& caught() const { return m_caught; }

public slots:
    void open(const QUrl& url);

private:
    QStringList m_schemes;
    QStringList m_caught;
};

} // namespace quorvane
