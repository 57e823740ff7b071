#include "ui/login/LoginFrameBase.h"

#include "platform/Failure.h"
#include "resources/SkinPictures.h"
#include "server/DataModule.h"
#include "ui/chrome/CaptionLabel.h"
#include "ui/chrome/Image.h"
#include "ui/chrome/ImageButton.h"
#include "ui/chrome/MessageBox.h"
#include "ui/chrome/SkinBitmap.h"
#include "ui/login/LoginFonts.h"
#include "ui/login/LoginForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

namespace {

constexpr QSize kFrameSize(301, 295);
const QColor kArcColor(35, 83, 141);
const QColor kFrameColor(213, 226, 242);
const QColor kErrorColor(255, 0, 0);
constexpr int kErrorPixels = 12;
constexpr int kCaptionPixels = 15;
constexpr int kCheckBoxPixels = 12;

// Rounds the frame's bottom-right corner, which lies on the window's rounded edge: the
// bottom-right quarter of the ellipse in the box (W - 8, H - 8) to (W, H), from its bottom
// point counter-clockwise to its right point.
QPixmap WithCornerArc(QPixmap picture)
{
    const int w = picture.width();
    const int h = picture.height();
    QPainter painter(&picture);
    painter.setPen(QPen(kArcColor, 1));
    painter.setBrush(Qt::NoBrush);
    // An aliased outline of a box 7 pixels wide covers 8 pixels: W - 8 to W - 1.
    painter.drawArc(QRectF(w - 8, h - 8, 7, 7), 270 * 16, 90 * 16);
    return picture;
}

void SetTextColor(QWidget* widget, QPalette::ColorRole role, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

} // namespace

TDMod& TLoginFrameBase::Session()
{
    if (!DMod)
        throw TFailure(QStringLiteral("The session has not been started."));
    return *DMod;
}

TLoginFrameBase::TLoginFrameBase(QWidget* panFrame, TfrmLogin* loginForm, const char* background)
    : QWidget(panFrame), loginForm(loginForm)
{
    setGeometry(QRect(QPoint(0, 0), kFrameSize));
    setFont(SongFont(16));
    setAutoFillBackground(true);
    SetTextColor(this, QPalette::Window, kFrameColor);

    imgBg = new TImage(this);
    imgBg->setObjectName(QStringLiteral("imgBg"));
    imgBg->SetPicture(WithCornerArc(SkinBitmap(QString::fromLatin1(background))));
}

TLoginFrameBase::~TLoginFrameBase() = default;

bool TLoginFrameBase::isValidEmail(const QString& text)
{
    return !text.contains(QLatin1Char(' '));
}

QString TLoginFrameBase::TrimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 0x20)
        ++first;
    while (last > first && text[last - 1].unicode() <= 0x20)
        --last;
    return text.mid(first, last - first);
}

bool TLoginFrameBase::RequestRunning() const
{
    return Guard().Running();
}

TRequestGuard& TLoginFrameBase::Guard() const
{
    return loginForm->RequestGuard();
}

void TLoginFrameBase::hideErrors()
{
    for (const TErrorDisplay& display : std::as_const(errors_)) {
        display.icon->hide();
        display.label->hide();
    }
}

void TLoginFrameBase::showEmailError(const QString& text)
{
    ShowError(emailError_, text);
}

void TLoginFrameBase::showPasswordError(const QString& text)
{
    ShowError(passwordError_, text);
}

TLoginFrameBase::TErrorDisplay TLoginFrameBase::AddErrorDisplay(const QString& name, QPoint iconPos,
                                                                QPoint labelPos)
{
    TErrorDisplay display;
    display.icon =
        AddPicture(QStringLiteral("img") + name + QStringLiteral("Error"), SkinPicture::ErrorIcon, iconPos);
    display.label = AddLabel(QStringLiteral("lab") + name + QStringLiteral("Error"), QString(),
                             SongFont(kErrorPixels), kErrorColor, labelPos, kSongAscent);
    display.labelPos = labelPos;
    display.icon->hide();
    display.label->hide();
    errors_.append(display);
    return display;
}

void TLoginFrameBase::AddEmailErrorDisplay(QPoint iconPos, QPoint labelPos)
{
    emailError_ = AddErrorDisplay(QStringLiteral("Email"), iconPos, labelPos);
    imgEmailError = emailError_.icon;
    labEmailError = emailError_.label;
}

void TLoginFrameBase::AddPasswordErrorDisplay(QPoint iconPos, QPoint labelPos)
{
    passwordError_ = AddErrorDisplay(QStringLiteral("Password"), iconPos, labelPos);
    imgPasswordError = passwordError_.icon;
    labPasswordError = passwordError_.label;
}

void TLoginFrameBase::ShowError(const TErrorDisplay& display, const QString& text)
{
    hideErrors();
    display.label->setText(text);
    PlaceLabel(display.label, display.labelPos.x(), display.labelPos.y(), kSongAscent);
    // A long message from the server is cut at the frame's edge; the whole text is its tooltip.
    const int room = width() - display.label->x();
    const bool cut = display.label->width() > room;
    if (cut)
        display.label->resize(room, display.label->height());
    display.label->setToolTip(cut ? text : QString());
    display.icon->show();
    display.label->show();
}

TImage* TLoginFrameBase::AddPicture(const QString& name, const char* picture, QPoint pos)
{
    auto* image = new TImage(this);
    image->setObjectName(name);
    image->SetPicture(SkinBitmap(QString::fromLatin1(picture)));
    image->move(pos);
    return image;
}

QLabel* TLoginFrameBase::AddLabel(const QString& name, const QString& text, const QFont& font,
                                  const QColor& color, QPoint pos, double designAscent)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    // The server's messages are shown as they are, never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    // Transparent, so that the background picture shows through.
    label->setAutoFillBackground(false);
    SetTextColor(label, QPalette::WindowText, color);
    PlaceLabel(label, pos.x(), pos.y(), designAscent);
    return label;
}

QLineEdit* TLoginFrameBase::AddEdit(const QString& name, QPoint pos, QSize size, bool password)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setGeometry(QRect(pos, size));
    if (password) {
        edit->setEchoMode(QLineEdit::Password);
        edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    }
    return edit;
}

void TLoginFrameBase::SetEditLook(QLineEdit* edit, const QFont& font, const QColor& color)
{
    edit->setFont(font);
    SetTextColor(edit, QPalette::Text, color);
}

QCheckBox* TLoginFrameBase::AddCheckBox(const QString& name, const QString& text, QPoint pos)
{
    auto* box = new QCheckBox(text, this);
    box->setObjectName(name);
    // In the frame's 16-pixel font the caption would run past the box's 70 pixels.
    box->setFont(SongFont(kCheckBoxPixels));
    box->setChecked(true);
    box->setGeometry(QRect(pos, QSize(70, 17)));
    return box;
}

TImageButton* TLoginFrameBase::AddButton(const QString& name, const QString& word, QPoint pos)
{
    auto* button = new TImageButton(word, TImageButton::TStates::Two, this);
    button->setObjectName(name);
    button->setCursor(Qt::PointingHandCursor);
    button->move(pos);
    return button;
}

TCaptionLabel* TLoginFrameBase::AddCaption(const QString& name, const QString& text, TImageButton* button,
                                           QPoint pos)
{
    auto* label = new TCaptionLabel(text, button, this);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(SongFont(kCaptionPixels));
    label->setAutoFillBackground(false);
    label->setCursor(Qt::PointingHandCursor);
    SetTextColor(label, QPalette::WindowText, Qt::white);
    PlaceLabel(label, pos.x(), pos.y(), kSongAscent);
    return label;
}

void TLoginFrameBase::FinishSignIn(const std::function<void()>& save)
{
    try {
        save();
    } catch (const TFailure& failure) {
        TMessageBox::Warning(window(), QStringLiteral("Quorvane"), failure.Message());
    }
    loginForm->SetModalResult(TfrmLogin::ResultOk);
}

void TLoginFrameBase::LeaveFrame()
{
    // A hidden frame would hand the caret on to the next field, which is in the new frame.
    if (QWidget* focus = window()->focusWidget(); focus && isAncestorOf(focus))
        focus->clearFocus();
    hide();
    deleteLater();
}
