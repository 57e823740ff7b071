#pragma once

#include <QString>

namespace quorvane {

// The standard error display: a message box titled "Quorvane" with the failure's text.
void showErrorMessage(const QString& text);

// Shows the exception being handled; call only inside a catch block. An object that is
// not an exception shows an empty text.
void showCurrentException();

} // namespace quorvane
