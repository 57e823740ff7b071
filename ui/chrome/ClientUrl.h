#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace quorvane {

// The windows whose browsers listen for "vemtraclient://" URLs, each with its own actions:
// the main window knows "close" and "open", the notification window "show" and "open".
enum class ClientUrlListener
{
    MainWindow,
    NotificationWindow
};

// What a listening window does for the actions that concern a window: "close" (the main window
// hides itself to the tray) and "show" (the main window loads the given address of the
// application and comes to the front). "open" needs no window.
struct ClientUrlActions
{
    std::function<void()> close;
    std::function<void(const QString& url)> show;
};

// True when the URL begins with "vemtraclient://", exactly as written (letter case included).
bool isClientUrl(const QString& url);

// The URL of a navigation as the page wrote it, from the text the browser view reports. The
// browser's URL parser escapes every "%" of a query as "%25" when one of them starts no
// two-digit escape (as "%u6D77" does); that is undone here, so that "%uXXXX" and malformed
// escapes reach the decoding below. A query whose escapes are all "%25" followed by something
// other than two hexadecimal digits cannot be told apart and is taken as escaped wholesale.
QString clientUrlAsWritten(const QString& reportedUrl);

// The value of the "open" action decoded: "%XX" gives the character of that code, "%uXXXX" the
// UTF-16 character, a "%" sequence that is not hexadecimal is dropped with the two (after "%u",
// five) characters after the "%", and every other character, "+" included, stays. What the
// system code page cannot represent becomes "?", and the text ends at a NUL character.
QString decodeClientUrlValue(const QString& value);

// True for the targets "open" hands to the shell: http, https and mailto addresses. Anything
// else (a local file, a program, a "file:" URL, an empty text) could start a program on the
// user's machine and is never handed over.
bool isShellOpenable(const QString& target);

// A mailto address with only its "subject" and "body" kept: no page can have the mail program add
// copies, attachments or headers. Any other address as it stands.
QString mailtoWithSubjectAndBody(const QString& target);

// Opens the decoded target of "open" (mailto addresses cut down as mailtoWithSubjectAndBody
// says) in the user's default programs when isShellOpenable allows it; true when it was handed to
// the shell.
bool openClientUrlTarget(const QString& target);

// Whether a client URL may act: only the top frame of a page of the application server drives
// the client. A third-party frame, or a page of another site the browser was led to, gets its
// navigation cancelled and nothing else; the refusal is written to the diagnostics output.
bool mayActOnClientUrl(bool mainFrame, const QUrl& pageUrl);

// The before-navigate handling of a listening browser, given the URL the browser view reports
// (see clientUrlAsWritten). Returns false for any URL that is not a
// client URL: the navigation goes ahead. Otherwise it performs the listener's action, if the
// action name (letter case included) is one the listener knows, and returns true: the caller
// cancels the navigation, whatever the action was. The window's own actions go to `actions`.
bool handleClientUrl(const QString& url, ClientUrlListener listener, const ClientUrlActions& actions = {});

} // namespace quorvane
