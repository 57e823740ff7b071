// ParseUrlQuery: any address the share window reports.
#include "tests/fuzz/CommaTextChecks.h"

#include "config/Util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString url = QString::fromUtf8(Fuzz::Bytes(data, size));
    const TNameValueList list = ParseUrlQuery(url);
    Fuzz::CheckEntries(list, url);
    for (const QString& entry : list.Entries())
        FUZZ_CHECK(!entry.contains(QLatin1Char('&')), "every \"&\" separates two entries");
    return 0;
}
