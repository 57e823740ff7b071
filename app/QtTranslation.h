#pragma once

class QCoreApplication;
class QString;

namespace quorvane {

// Puts Qt's own texts (the standard buttons of message boxes, the menus of text fields) into
// Chinese like the rest of the client, whatever the user's locale. Qt's catalogue comes from the
// system's Qt translations; without it those texts stay English. True when it was installed.
bool installQtTranslation(QCoreApplication& app);
// The same with the catalogue looked for in `folder`.
bool installQtTranslationFrom(QCoreApplication& app, const QString& folder);

} // namespace quorvane
