// parseUrlQuery: any address the share window reports.
#include "tests/fuzz/CommaTextChecks.h"

#include "config/Util.h"

namespace quorvane {

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString url = QString::fromUtf8(Fuzz::bytes(data, size));
    const NameValueList list = parseUrlQuery(url);
    Fuzz::checkEntries(list, url);
    for (const QString& entry : list.entries())
        FUZZ_CHECK(!entry.contains(QLatin1Char('&')), "every \"&\" separates two entries");
    return 0;
}

} // namespace quorvane
