#include "ui/dialogs/AboutForm.h"

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

QLabel* NewLabel(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    PlaceLabel(label, x, y, kSongAscent);
    return label;
}

// The About window now showing, so that a second menu command does not stack another one.
QPointer<TfrmAbout> openAbout;

} // namespace

TfrmAbout::TfrmAbout(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于Quorvane"));
    setWindowIcon(ApplicationIcon());
    setFont(SongFont(14));
    FillBackground(this, kBackground);
    setFixedSize(460, 310);

    // The banner is wider than the window, which shows its left part.
    ProgramIcon = new QLabel(this);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setPixmap(SkinBitmap(QString::fromLatin1(SkinPicture::AboutBanner)));
    ProgramIcon->setGeometry(-1, 0, 1290, 49);

    Label1 = NewLabel(this, "Label1", QStringLiteral("Quorvane"), 16, 64);
    labVersion = NewLabel(this, "labVersion", QString(), 72, 64);
    Label2 = NewLabel(this, "Label2", LegalNoticeLine1(), 16, 96);
    Label3 = NewLabel(this, "Label3", LegalNoticeLine2(), 16, 128);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    // Read-only, but the caret still moves with the keys, so the text can be selected and copied.
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setPlainText(LegalStatement());
    Memo1->setGeometry(16, 160, 436, 97);

    OKButton = new QPushButton(QStringLiteral("确定"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    PlaceCentred(OKButton, {377, 271, 75, 25});
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate();
    OKButton->setFocus();
    // Key preview: the window sees every key before the control that has the focus.
    qApp->installEventFilter(this);
}

TfrmAbout::~TfrmAbout()
{
    qApp->removeEventFilter(this);
}

void TfrmAbout::FormCreate()
{
    labVersion->setText(CLIENT_VERSION);
    labVersion->adjustSize();
    // The substitute font sets "Quorvane" wider than the layout allows for; the version keeps clear of it.
    const int clear = Label1->geometry().right() + 5;
    if (labVersion->x() < clear)
        labVersion->move(clear, labVersion->y());
}

bool TfrmAbout::eventFilter(QObject* watched, QEvent* event)
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
        FormKeyPress(key->text());
    // Not consumed: the key goes on to the focused control.
    return false;
}

void TfrmAbout::FormKeyPress(const QString& characters)
{
    if (characters.isEmpty())
        return;
    keyBuffer += characters;
    // The buffer only grows and is compared whole: only the very first keys count, and the box
    // shows at most once per opening.
    if (keyBuffer == kAccessWord)
        TMessageBox::Show(this, QStringLiteral("Quorvane"), DiagnosticsText(), QMessageBox::Ok);
}

void TfrmAbout::keyPressEvent(QKeyEvent* event)
{
    // Escape presses the OK button, as Enter does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        OKButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ShowAboutWindow(QWidget* owner)
{
    if (openAbout) {
        BringToFront(openAbout);
        return;
    }
    QPointer<TfrmAbout> about = new TfrmAbout(owner);
    openAbout = about;
    CentreOnScreen(about);
    about->exec();
    // The owner may have taken it along when the client ended during the modal loop.
    delete about.data();
}
