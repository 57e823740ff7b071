#pragma once

#include <QString>

namespace quorvane {

// Stores a saved login in the current profile's quorvane.ini as a previous sign-in would have.
void saveLogin(const QString& userName, const QString& password, bool rememberPass, bool autoLogin,
               int userType);

} // namespace quorvane
