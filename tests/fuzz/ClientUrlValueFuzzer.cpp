// The percent-decoding of the value that the client URL action "open" hands to the shell.
#include "tests/fuzz/FuzzTarget.h"

#include "platform/AnsiCodePage.h"
#include "ui/chrome/ClientUrl.h"

namespace quorvane {

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString value = QString::fromUtf8(Fuzz::bytes(data, size));
    const QString decoded = decodeClientUrlValue(value);
    FUZZ_CHECK(!decoded.contains(QChar(0)), "the shell's text ends at the first NUL");
    FUZZ_CHECK(decoded.size() <= value.size(), "decoding never lengthens the text");
    if (!value.contains(QLatin1Char('%'))) {
        QByteArray ansi = toAnsi(value);
        if (ansi.contains('\0'))
            ansi.truncate(ansi.indexOf('\0'));
        FUZZ_CHECK(decoded == fromAnsi(ansi), "text without \"%\" only passes through the code page");
    }
    // The judgement of what may reach the shell takes any decoded text.
    isShellOpenable(decoded);
    return 0;
}

} // namespace quorvane
