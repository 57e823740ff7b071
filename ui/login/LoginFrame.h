#pragma once

#include "ui/chrome/RequestRunner.h"

#include <QList>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <utility>

class QCheckBox;
class QColor;
class QFont;
class QLabel;
class QLineEdit;

namespace quorvane {

class CaptionLabel;
class Session;
class Image;
class ImageButton;

// What the three frames of the login window share: the 301 x 295 frame over the window's host
// panel with its background picture and rounded corner, the error displays of which at most
// one is visible, the server requests, and the way a frame gives way to another.
class LoginFrame : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LoginFrame)

public:
    ~LoginFrame() override;

    // True when the text holds no blank (U+0020): the whole test of an e-mail address.
    static bool isValidEmail(const QString& text);
    // The text without the blanks and control characters at its ends (characters up to U+0020).
    static QString trimBlanks(const QString& text);

    // Hides every error icon and label of the frame.
    void hideErrors();
    void showEmailError(const QString& text);
    void showPasswordError(const QString& text);

    // True while a sign-in or registration request of the window runs.
    bool requestRunning() const;

signals:
    // The session is signed in and the login stored: the window's work is done.
    void signedIn();
    // The user asks for another frame: registration, the microblog sign-in, or back to the
    // account sign-in. The window puts the new frame in place; this one then leaves.
    void registerRequested();
    void microblogRequested();
    void backRequested();

protected:
    // A frame lies on `host`, signs in through `session` and runs its requests through `requests`
    // (the window's, so that one request at a time runs whichever frame is shown); `background`
    // names its picture.
    LoginFrame(QWidget* host, Session& session, RequestRunner& requests, const char* background);

    struct ErrorDisplay
    {
        Image* icon = nullptr;
        QLabel* label = nullptr;
        QPoint labelPos;
    };

    // The error icon "img<name>Error" and label "lab<name>Error", hidden.
    ErrorDisplay addErrorDisplay(const QString& name, QPoint iconPos, QPoint labelPos);
    void addEmailErrorDisplay(QPoint iconPos, QPoint labelPos);
    void addPasswordErrorDisplay(QPoint iconPos, QPoint labelPos);
    void showError(const ErrorDisplay& display, const QString& text);

    // Components, each at its layout position and named after its member.
    Image* addPicture(const QString& name, const char* picture, QPoint pos);
    QLabel* addLabel(const QString& name, const QString& text, const QFont& font, const QColor& color,
                     QPoint pos, double designAscent);
    QLineEdit* addEdit(const QString& name, QPoint pos, QSize size, bool password);
    static void setEditLook(QLineEdit* edit, const QFont& font, const QColor& color);
    QCheckBox* addCheckBox(const QString& name, const QString& text, QPoint pos);
    ImageButton* addButton(const QString& name, const QString& word, QPoint pos);
    // A white caption laid over its button.
    CaptionLabel* addCaption(const QString& name, const QString& text, ImageButton* button, QPoint pos);

    // "重置" beside the submit button and "返回登录" below it, as the microblog and registration
    // frames have them: reset empties `fields` and puts the caret in the first, back returns to the
    // account frame.
    void addResetAndBackButtons(const QList<QLineEdit*>& fields);

    // The session the frames sign in through.
    Session& session() const { return m_session; }
    // Starts a request to the server off the user-interface thread; `onAnswer` reads its outcome
    // here once it has arrived. The frame is disabled meanwhile, and a frame that is gone by then
    // hears nothing.
    template <typename Request, typename Answer> void startRequest(Request request, Answer onAnswer)
    {
        m_requests.start(std::move(request), [frame = QPointer<LoginFrame>(this),
                                              onAnswer = std::move(onAnswer)](const auto& outcome) {
            if (frame)
                onAnswer(outcome);
        });
    }

    // Reports a successful sign-in (signedIn) once `save` has stored the login.
    // A login that cannot be stored is reported, but the user stays signed in.
    void finishSignIn(const std::function<void()>& save);

    // What the frames that sign in share: the saved login of their kind (`userType`) fills the
    // fields, the check boxes show the saved flags, and ticking "自动登录" ticks "记住密码" too.
    void fillFromSavedLogin(int userType, QLineEdit* email, QLineEdit* password, QCheckBox* rememberPassword,
                            QCheckBox* autoLogin);
    // The e-mail check of the microblog and registration frames, on the trimmed text: an empty or
    // invalid address is shown and takes the caret; false then.
    bool checkEmailAddress(QLineEdit* email);
    // Saves the login that has just signed in (the password whatever "记住密码" says: the two flags
    // only decide whether the next start signs in by itself) and reports the sign-in.
    void finishSignInSaving(const QString& userName, const QString& password, int userType,
                            const QCheckBox* rememberPassword, const QCheckBox* autoLogin);

    // Destroys this frame once another has taken its place; the caret leaves with it.
    void leaveFrame();

private:
    // The background picture, carrying the rounded corner.
    Image* m_imgBg = nullptr;

    Session& m_session;
    RequestRunner& m_requests;

    QList<ErrorDisplay> m_errors;
    ErrorDisplay m_emailError;
    ErrorDisplay m_passwordError;
};

} // namespace quorvane
