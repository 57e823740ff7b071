#pragma once

#include <QString>

class QWidget;

namespace quorvane {

// A question with a line of text to answer, titled "Quorvane": a page's JavaScript prompt. The
// question is shown as plain text. True with the answer in `text` when the user pressed OK.
bool askForText(QWidget* owner, const QString& question, QString& text);

} // namespace quorvane
