#include "ui/share/ShareWindow.h"

#include "resources/SkinResources.h"
#include "server/Session.h"
#include "ui/chrome/BrowserMessageFilter.h"
#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/OpenWindows.h"
#include "ui/chrome/RequestRunner.h"
#include "ui/chrome/WindowPlacement.h"
#include "ui/share/SharePageUrl.h"

#include <QCloseEvent>
#include <QShowEvent>

namespace quorvane {

namespace {

constexpr QSize kCreatedSize(620, 290);
constexpr QRect kCreatedBrowser(0, 0, 392, 278);
constexpr int kFittedWidth = 628;
// Type "3" shares with a picture and needs the taller window.
constexpr int kPictureShareHeight = 528;
constexpr int kLinkShareHeight = 324;

} // namespace

ShareWindow::ShareWindow(Session& session, QWidget* owner) : QWidget(owner, Qt::Window), m_session(session)
{
    setObjectName(QStringLiteral("shareWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Quorvane"));
    setWindowIcon(applicationIcon());
    resize(kCreatedSize);

    m_browser = new BrowserView(this);
    m_browser->setObjectName(QStringLiteral("browser"));
    m_browser->setGeometry(kCreatedBrowser);
    connect(m_browser->browserPage(), &BrowserPage::documentComplete, this, &ShareWindow::onDocumentComplete);
    // A page that closes its own window (the share page's cancel, the success page's close
    // button) closes the share window.
    connect(m_browser->browserPage(), &QWebEnginePage::windowCloseRequested, this, &QWidget::close);

    m_browserFilter = new BrowserMessageFilter(this, m_browser);
    m_browserFilter->setObjectName(QStringLiteral("browserFilter"));
}

ShareWindow::~ShareWindow() = default;

void ShareWindow::expectSharePage()
{
    m_sharePending = true;
}

void ShareWindow::openSharePage(const QString& url)
{
    expectSharePage();
    m_browser->browserPage()->navigate(url);
}

void ShareWindow::showEvent(QShowEvent* event)
{
    // Placed once, when first shown: at creation the main window may not have its place yet.
    if (!m_placed && !event->spontaneous()) {
        m_placed = true;
        centreOverWindow(this, parentWidget());
    }
    QWidget::showEvent(event);
}

void ShareWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_browserFills)
        m_browser->setGeometry(rect());
}

void ShareWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    markClosedForGood(this);
    // The window is destroyed once the close has completed (WA_DeleteOnClose).
}

void ShareWindow::onDocumentComplete(const QString& url)
{
    if (m_sharePending && isSharePage(url)) {
        m_sharePending = false;
        fitToShareType(getShareType(url));
    }
    // Every completed success page reports, a reload as well.
    if (isSuccessPage(url))
        reportShare(getSharedType(url));
}

void ShareWindow::fitToShareType(const QString& shareType)
{
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    // The sizes are those of the whole window, frame included.
    const QSize frame(kFittedWidth, shareType == QLatin1String("3") ? kPictureShareHeight : kLinkShareHeight);
    const QSize margins = frameGeometry().size() - geometry().size();
    resize(frame - margins);
    m_browserFills = true;
    m_browser->setGeometry(rect());
    bringToFront(this);
}

void ShareWindow::reportShare(const QString& shareType)
{
    // The server's answer is of no interest; a failure to reach it goes to the error display.
    // The report runs on after this window has closed, so its runner belongs to the owner.
    QWidget* keeper = parentWidget() ? parentWidget() : this;
    auto* runner = new RequestRunner(keeper);
    connect(runner, &RequestRunner::finished, runner, &QObject::deleteLater);
    Session& session = m_session;
    runner->start(
        [&session, shareType] {
            session.shareInfo(shareType);
            return true;
        },
        [](const RequestOutcome<bool>& outcome) { outcome.get(); });
}

} // namespace quorvane
