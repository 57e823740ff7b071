// parseClientUrl: any navigation text, and any text after the client prefix.
#include "tests/fuzz/CommaTextChecks.h"

#include "config/Util.h"

namespace quorvane {

namespace {

void check(const QString& url)
{
    const NameValueList list = parseClientUrl(url);
    FUZZ_CHECK(!list.entries().isEmpty(), "the first entry is always the action");
    const QString& first = list.entries().first();
    FUZZ_CHECK(first.startsWith(QLatin1String("actionName=")), "the first entry is always the action");
    FUZZ_CHECK(list.value(QStringLiteral("ACTIONNAME")) == first.mid(11),
               "the action wins over any parameter");
    if (!url.startsWith(QLatin1String("vemtraclient://")))
        FUZZ_CHECK(list.entries() == QStringList({QStringLiteral("actionName="), QString()}),
                   "a URL of another scheme gives no action and one empty entry");
    Fuzz::checkEntries(list, url);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(Fuzz::bytes(data, size));
    check(text);
    check(QStringLiteral("vemtraclient://") + text);
    return 0;
}

} // namespace quorvane
