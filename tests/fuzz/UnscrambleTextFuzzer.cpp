// unscrambleText: any key and any text, as a hand-edited quorvane.ini may hold.
#include "tests/fuzz/FuzzTarget.h"

#include "config/Util.h"

#include <algorithm>

namespace quorvane {

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QList<QByteArray> parts = Fuzz::parts(Fuzz::bytes(data, size), 2);
    const QByteArray& key = parts[0];
    const QByteArray& text = parts[1];

    const QByteArray plain = unscrambleText(key, text);
    FUZZ_CHECK(plain.size() == std::min<qsizetype>(text.size() / 2, 512),
               "one byte per two digits, at most 512");

    // The text taken as data: scrambling and unscrambling give it back, in either letter case.
    const QByteArray data512 = text.left(512);
    const QByteArray scrambled = scrambleText(key, data512);
    FUZZ_CHECK(scrambled.size() == 2 * data512.size(), "two digits per byte");
    FUZZ_CHECK(unscrambleText(key, scrambled) == data512, "unscrambling reverses scrambling");
    FUZZ_CHECK(unscrambleText(key, scrambled.toLower()) == data512, "lower-case digits read the same");
    return 0;
}

} // namespace quorvane
