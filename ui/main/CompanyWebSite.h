#pragma once

#include <QString>

namespace quorvane {

// The company's home page. Its "from" item tells the site that the visitor came from this client.
inline QString companyWebSite()
{
    return QStringLiteral("http://www.selvor.com/?from=quorvane_client");
}

} // namespace quorvane
