#pragma once

#include <QString>

namespace quorvane {

// The standard error display: a message box titled "Quorvane" with the failure's text.
void showErrorMessage(const QString& text);

// Shows the exception being handled; call only inside a catch block. A server that could not be
// reached shows the same text whatever the cause, a cancelled request nothing, an object that is
// not an exception an empty text.
void showCurrentException();

} // namespace quorvane
