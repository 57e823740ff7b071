#include "ui/login/LoginFrame.h"

#include "config/ConfigStore.h"
#include "platform/Failure.h"
#include "resources/SkinPictures.h"
#include "server/Session.h"
#include "ui/chrome/CaptionLabel.h"
#include "ui/chrome/Fonts.h"
#include "ui/chrome/Image.h"
#include "ui/chrome/ImageButton.h"
#include "ui/chrome/MessageBox.h"
#include "ui/chrome/SkinBitmap.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

namespace quorvane {

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
QPixmap withCornerArc(QPixmap picture)
{
    // In points: the painter of a 2x picture draws twice as large.
    const int w = picture.deviceIndependentSize().toSize().width();
    const int h = picture.deviceIndependentSize().toSize().height();
    QPainter painter(&picture);
    painter.setPen(QPen(kArcColor, 1));
    painter.setBrush(Qt::NoBrush);
    // An aliased outline of a box 7 pixels wide covers 8 pixels: W - 8 to W - 1.
    painter.drawArc(QRectF(w - 8, h - 8, 7, 7), 270 * 16, 90 * 16);
    return picture;
}

void setTextColor(QWidget* widget, QPalette::ColorRole role, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

} // namespace

LoginFrame::LoginFrame(QWidget* host, Session& session, RequestRunner& requests, const char* background)
    : QWidget(host), m_session(session), m_requests(requests)
{
    setGeometry(QRect(QPoint(0, 0), kFrameSize));
    setFont(songFont(16));
    setAutoFillBackground(true);
    setTextColor(this, QPalette::Window, kFrameColor);

    m_imgBg = new Image(this);
    m_imgBg->setObjectName(QStringLiteral("imgBg"));
    m_imgBg->setPicture(withCornerArc(skinBitmap(QString::fromLatin1(background))));
    // The foot line of every frame; nothing lies over it.
    addPicture(QStringLiteral("imgFooter"), SkinPicture::FrameFooter, {0, 274});
}

LoginFrame::~LoginFrame() = default;

bool LoginFrame::isValidEmail(const QString& text)
{
    return !text.contains(QLatin1Char(' '));
}

QString LoginFrame::trimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 0x20)
        ++first;
    while (last > first && text[last - 1].unicode() <= 0x20)
        --last;
    return text.mid(first, last - first);
}

bool LoginFrame::requestRunning() const
{
    return m_requests.running();
}

void LoginFrame::hideErrors()
{
    for (const ErrorDisplay& display : std::as_const(m_errors)) {
        display.icon->hide();
        display.label->hide();
    }
}

void LoginFrame::showEmailError(const QString& text)
{
    showError(m_emailError, text);
}

void LoginFrame::showPasswordError(const QString& text)
{
    showError(m_passwordError, text);
}

LoginFrame::ErrorDisplay LoginFrame::addErrorDisplay(const QString& name, QPoint iconPos, QPoint labelPos)
{
    ErrorDisplay display;
    display.icon =
        addPicture(QStringLiteral("img") + name + QStringLiteral("Error"), SkinPicture::ErrorIcon, iconPos);
    display.label = addLabel(QStringLiteral("lab") + name + QStringLiteral("Error"), QString(),
                             songFont(kErrorPixels), kErrorColor, labelPos, kSongAscent);
    display.labelPos = labelPos;
    display.icon->hide();
    display.label->hide();
    m_errors.append(display);
    return display;
}

void LoginFrame::addEmailErrorDisplay(QPoint iconPos, QPoint labelPos)
{
    m_emailError = addErrorDisplay(QStringLiteral("Email"), iconPos, labelPos);
}

void LoginFrame::addPasswordErrorDisplay(QPoint iconPos, QPoint labelPos)
{
    m_passwordError = addErrorDisplay(QStringLiteral("Password"), iconPos, labelPos);
}

void LoginFrame::showError(const ErrorDisplay& display, const QString& text)
{
    hideErrors();
    display.label->setText(text);
    placeLabel(display.label, display.labelPos.x(), display.labelPos.y(), kSongAscent);
    // A long message from the server is cut at the frame's edge; the whole text is its tooltip.
    const int room = width() - display.label->x();
    const bool cut = display.label->width() > room;
    if (cut)
        display.label->resize(room, display.label->height());
    display.label->setToolTip(cut ? text : QString());
    display.icon->show();
    display.label->show();
}

Image* LoginFrame::addPicture(const QString& name, const char* picture, QPoint pos)
{
    auto* image = new Image(this);
    image->setObjectName(name);
    image->setPicture(skinBitmap(QString::fromLatin1(picture)));
    image->move(pos);
    return image;
}

QLabel* LoginFrame::addLabel(const QString& name, const QString& text, const QFont& font, const QColor& color,
                             QPoint pos, double designAscent)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    // The server's messages are shown as they are, never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    // Transparent, so that the background picture shows through.
    label->setAutoFillBackground(false);
    setTextColor(label, QPalette::WindowText, color);
    placeLabel(label, pos.x(), pos.y(), designAscent);
    return label;
}

QLineEdit* LoginFrame::addEdit(const QString& name, QPoint pos, QSize size, bool password)
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

void LoginFrame::setEditLook(QLineEdit* edit, const QFont& font, const QColor& color)
{
    edit->setFont(font);
    setTextColor(edit, QPalette::Text, color);
}

QCheckBox* LoginFrame::addCheckBox(const QString& name, const QString& text, QPoint pos)
{
    auto* box = new QCheckBox(text, this);
    box->setObjectName(name);
    // In the frame's 16-pixel font the caption would run past the box's 70 pixels.
    box->setFont(songFont(kCheckBoxPixels));
    box->setChecked(true);
    box->setGeometry(QRect(pos, QSize(70, 17)));
    return box;
}

ImageButton* LoginFrame::addButton(const QString& name, const QString& word, QPoint pos)
{
    auto* button = new ImageButton(word, ImageButton::States::Two, this);
    button->setObjectName(name);
    button->setCursor(Qt::PointingHandCursor);
    button->move(pos);
    return button;
}

CaptionLabel* LoginFrame::addCaption(const QString& name, const QString& text, ImageButton* button,
                                     QPoint pos)
{
    auto* label = new CaptionLabel(text, button, this);
    // The caption is the button's text: a screen reader reads the button by it.
    button->setAccessibleName(text);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(songFont(kCaptionPixels));
    label->setAutoFillBackground(false);
    label->setCursor(Qt::PointingHandCursor);
    setTextColor(label, QPalette::WindowText, Qt::white);
    placeLabel(label, pos.x(), pos.y(), kSongAscent);
    return label;
}

void LoginFrame::finishSignIn(const std::function<void()>& save)
{
    try {
        save();
    } catch (const Failure& failure) {
        MessageBox::warning(window(), QStringLiteral("Quorvane"), failure.message());
    }
    emit signedIn();
}

void LoginFrame::fillFromSavedLogin(int userType, QLineEdit* email, QLineEdit* password,
                                    QCheckBox* rememberPassword, QCheckBox* autoLogin)
{
    const SavedLogin info = ConfigStore().loadConfigInfo();
    if (info.userType == userType) {
        email->setText(info.userName);
        password->setText(info.password);
    }
    rememberPassword->setChecked(info.rememberPass);
    autoLogin->setChecked(info.autoLogin);
    connect(autoLogin, &QCheckBox::clicked, rememberPassword, [rememberPassword](bool checked) {
        if (checked)
            rememberPassword->setChecked(true);
    });
}

bool LoginFrame::checkEmailAddress(QLineEdit* email)
{
    // The trimmed text serves the check only; the server gets the text as typed.
    const QString trimmed = trimBlanks(email->text());
    if (trimmed.isEmpty())
        showEmailError(QStringLiteral("请输入注册的E-mail!"));
    else if (!isValidEmail(trimmed))
        showEmailError(QStringLiteral("请输入有效的E-mail!"));
    else
        return true;
    email->setFocus();
    return false;
}

void LoginFrame::finishSignInSaving(const QString& userName, const QString& password, int userType,
                                    const QCheckBox* rememberPassword, const QCheckBox* autoLogin)
{
    SavedLogin info;
    info.userName = userName;
    info.password = password;
    info.rememberPass = rememberPassword->isChecked();
    info.autoLogin = autoLogin->isChecked();
    info.userType = userType;
    finishSignIn([&] { ConfigStore().saveConfigInfo(info); });
}

void LoginFrame::addResetAndBackButtons(const QList<QLineEdit*>& fields)
{
    ImageButton* reset = addButton(QStringLiteral("imgReset"), QStringLiteral("BUTTON"), {183, 203});
    addCaption(QStringLiteral("labReset"), QStringLiteral("重置"), reset, {211, 209});
    ImageButton* back = addButton(QStringLiteral("imgGoback"), QStringLiteral("GOBACK"), {212, 265});
    back->setAccessibleName(QStringLiteral("返回登录"));
    connect(reset, &ImageButton::clicked, this, [fields] {
        for (QLineEdit* field : fields)
            field->clear();
        fields.first()->setFocus();
    });
    connect(back, &ImageButton::clicked, this, [this] {
        emit backRequested();
        leaveFrame();
    });
}

void LoginFrame::leaveFrame()
{
    // A hidden frame would hand the caret on to the next field, which is in the new frame.
    if (QWidget* focus = window()->focusWidget(); focus && isAncestorOf(focus))
        focus->clearFocus();
    hide();
    deleteLater();
}

} // namespace quorvane
