#include "upgrader/UpdateRequest.h"

namespace quorvane {

std::optional<UpdateRequest> parseUpdateRequest(const QStringList& arguments)
{
    UpdateRequest request;
    if (arguments.size() == 1) {
        const QString& line = arguments.first();
        const qsizetype space = line.lastIndexOf(QLatin1Char(' '));
        if (space < 0)
            return std::nullopt;
        request.fileName = line.left(space);
        request.dstFileName = line.mid(space + 1);
    } else if (arguments.size() == 2) {
        request.fileName = arguments[0];
        request.dstFileName = arguments[1];
    } else {
        return std::nullopt;
    }
    if (request.fileName.isEmpty() || request.dstFileName.isEmpty())
        return std::nullopt;
    return request;
}

bool isBareFileName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

} // namespace quorvane
