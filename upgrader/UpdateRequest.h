#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace quorvane {

// What the client asks of the updater: copy `fileName` to `dstFileName` in the application folder.
struct UpdateRequest
{
    QString fileName;
    QString dstFileName;
};

// Reads the updater's arguments (without the program name). The client passes its command line,
// "fileName dstFileName" unquoted, as one argument; the file name may hold spaces, the bare
// destination name does not, so the text splits at its last space. Two separate arguments are
// taken as they are. Nothing when the arguments do not name both.
std::optional<UpdateRequest> parseUpdateRequest(const QStringList& arguments);

// Whether `name` is a plain file name that stays in the application folder.
bool isBareFileName(const QString& name);

} // namespace quorvane
