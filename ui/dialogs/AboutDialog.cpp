#include "ui/dialogs/AboutDialog.h"

#include "resources/SkinPictures.h"
#include "resources/SkinResources.h"
#include "server/ClientVersion.h"
#include "ui/chrome/MessageBox.h"
#include "ui/chrome/OpenWindows.h"
#include "ui/chrome/SkinBitmap.h"
#include "ui/chrome/WindowPlacement.h"
#include "ui/dialogs/AboutText.h"
#include "ui/dialogs/DialogLook.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

namespace quorvane {

namespace {

const QColor kBackground(213, 226, 242);

QLabel* newLabel(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    placeLabel(label, x, y, kSongAscent);
    return label;
}

} // namespace

AboutDialog::AboutDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("关于Quorvane"));
    setWindowIcon(applicationIcon());
    setFont(songFont(14));
    fillBackground(this, kBackground);
    setFixedSize(460, 310);

    // The banner is wider than the window, which shows its left part.
    m_labIcon = new QLabel(this);
    m_labIcon->setObjectName(QStringLiteral("labIcon"));
    m_labIcon->setScaledContents(true);
    m_labIcon->setPixmap(skinBitmap(QString::fromLatin1(SkinPicture::AboutBanner)));
    m_labIcon->setGeometry(-1, 0, 1290, 49);

    m_labProduct = newLabel(this, "labProduct", QStringLiteral("Quorvane"), 16, 64);
    m_labVersion = newLabel(this, "labVersion", QString(), 72, 64);
    m_labNotice1 = newLabel(this, "labNotice1", legalNoticeLine1(), 16, 96);
    m_labNotice2 = newLabel(this, "labNotice2", legalNoticeLine2(), 16, 128);

    m_memoNotice = new QPlainTextEdit(this);
    m_memoNotice->setObjectName(QStringLiteral("memoNotice"));
    m_memoNotice->setReadOnly(true);
    // Read-only, but the caret still moves with the keys, so the text can be selected and copied.
    m_memoNotice->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_memoNotice->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memoNotice->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memoNotice->setPlainText(legalStatement());
    m_memoNotice->setGeometry(16, 160, 436, 97);

    m_btnOk = new QPushButton(QStringLiteral("确定"), this);
    m_btnOk->setObjectName(QStringLiteral("btnOk"));
    m_btnOk->setDefault(true);
    placeCentred(m_btnOk, {377, 271, 75, 25});
    connect(m_btnOk, &QPushButton::clicked, this, &QDialog::accept);

    showVersion();
    m_btnOk->setFocus();
    // Key preview: the window sees every key before the control that has the focus.
    qApp->installEventFilter(this);
}

AboutDialog::~AboutDialog()
{
    qApp->removeEventFilter(this);
}

void AboutDialog::showVersion()
{
    m_labVersion->setText(CLIENT_VERSION);
    m_labVersion->adjustSize();
    // The substitute font sets "Quorvane" wider than the layout allows for; the version keeps clear of it.
    const int clear = m_labProduct->geometry().right() + 5;
    if (m_labVersion->x() < clear)
        m_labVersion->move(clear, m_labVersion->y());
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    // A key the focused control leaves alone travels on to its parents, each of which passes
    // through this filter; only its first stop counts.
    QWidget* first = focusWidget() ? focusWidget() : this;
    if (watched != first || !isActiveWindow())
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    // Tab moves between the controls and types nothing.
    if (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab)
        onKeyPress(key->text());
    // Not consumed: the key goes on to the focused control.
    return false;
}

void AboutDialog::onKeyPress(const QString& characters)
{
    if (characters.isEmpty())
        return;
    m_keyBuffer += characters;
    // The buffer only grows and is compared whole: only the very first keys count, and the box
    // shows at most once per opening.
    if (m_keyBuffer == kAccessWord)
        MessageBox::show(this, QStringLiteral("Quorvane"), diagnosticsText(), QMessageBox::Ok);
}

void AboutDialog::keyPressEvent(QKeyEvent* event)
{
    // Escape presses the OK button, as Enter does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_btnOk->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void showAboutWindow(QWidget* owner)
{
    if (auto* open = findOpenWindow<AboutDialog>()) {
        bringToFront(open);
        return;
    }
    QPointer<AboutDialog> about = new AboutDialog(owner);
    centreOnScreen(about);
    about->exec();
    // The owner may have taken it along when the client ended during the modal loop.
    delete about.data();
}

} // namespace quorvane
