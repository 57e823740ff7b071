#include "ui/dialogs/AboutDialog.h"

#include "resources/SkinPictures.h"
#include "resources/SkinResources.h"
#include "server/ClientVersion.h"
#include "ui/chrome/MessageBox.h"
#include "ui/chrome/SkinBitmap.h"
#include "ui/dialogs/AboutText.h"
#include "ui/dialogs/DialogLook.h"
#include "ui/dialogs/WindowPlacement.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

namespace {

const QColor kBackground(213, 226, 242);

QLabel* newLabel(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    placeLabel(label, x, y, kSongAscent);
    return label;
}

// The About window now showing, so that a second menu command does not stack another one.
QPointer<AboutDialog> openAbout;

} // namespace

AboutDialog::AboutDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于Quorvane"));
    setWindowIcon(applicationIcon());
    setFont(songFont(14));
    fillBackground(this, kBackground);
    setFixedSize(460, 310);

    // The banner is wider than the window, which shows its left part.
    programIcon = new QLabel(this);
    programIcon->setObjectName(QStringLiteral("ProgramIcon"));
    programIcon->setScaledContents(true);
    programIcon->setPixmap(skinBitmap(QString::fromLatin1(SkinPicture::AboutBanner)));
    programIcon->setGeometry(-1, 0, 1290, 49);

    label1 = newLabel(this, "Label1", QStringLiteral("Quorvane"), 16, 64);
    labVersion = newLabel(this, "labVersion", QString(), 72, 64);
    label2 = newLabel(this, "Label2", legalNoticeLine1(), 16, 96);
    label3 = newLabel(this, "Label3", legalNoticeLine2(), 16, 128);

    memo1 = new QPlainTextEdit(this);
    memo1->setObjectName(QStringLiteral("Memo1"));
    memo1->setReadOnly(true);
    // Read-only, but the caret still moves with the keys, so the text can be selected and copied.
    memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo1->setPlainText(legalStatement());
    memo1->setGeometry(16, 160, 436, 97);

    okButton = new QPushButton(QStringLiteral("确定"), this);
    okButton->setObjectName(QStringLiteral("OKButton"));
    okButton->setDefault(true);
    placeCentred(okButton, {377, 271, 75, 25});
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);

    formCreate();
    okButton->setFocus();
    // Key preview: the window sees every key before the control that has the focus.
    qApp->installEventFilter(this);
}

AboutDialog::~AboutDialog()
{
    qApp->removeEventFilter(this);
}

void AboutDialog::formCreate()
{
    labVersion->setText(CLIENT_VERSION);
    labVersion->adjustSize();
    // The substitute font sets "Quorvane" wider than the layout allows for; the version keeps clear of it.
    const int clear = label1->geometry().right() + 5;
    if (labVersion->x() < clear)
        labVersion->move(clear, labVersion->y());
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
        formKeyPress(key->text());
    // Not consumed: the key goes on to the focused control.
    return false;
}

void AboutDialog::formKeyPress(const QString& characters)
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
        okButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void showAboutWindow(QWidget* owner)
{
    if (openAbout) {
        bringToFront(openAbout);
        return;
    }
    QPointer<AboutDialog> about = new AboutDialog(owner);
    openAbout = about;
    centreOnScreen(about);
    about->exec();
    // The owner may have taken it along when the client ended during the modal loop.
    delete about.data();
}
