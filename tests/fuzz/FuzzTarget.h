#pragma once

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace quorvane {

// The entry point every fuzz target defines. libFuzzer calls it with generated inputs; the
// replay tests of the normal build call it with the committed seeds and findings.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// A property that must hold for every input: a broken one ends the run like a crash, so the
// fuzzer keeps the input as a finding.
#define FUZZ_CHECK(condition, what)                                                                          \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: property broken: %s (%s)\n", __FILE__, __LINE__, what, #condition); \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

namespace Fuzz {

inline QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Cuts an input into at most `count` parts at the byte 0x01, so that one input can carry several
// arguments (a key and a text, a section, a key and a file). Missing parts are empty.
inline QList<QByteArray> parts(const QByteArray& input, int count)
{
    QList<QByteArray> parts;
    qsizetype start = 0;
    while (parts.size() < count - 1) {
        const qsizetype cut = input.indexOf('\x01', start);
        if (cut < 0)
            break;
        parts.append(input.mid(start, cut - start));
        start = cut + 1;
    }
    parts.append(input.mid(start));
    while (parts.size() < count)
        parts.append(QByteArray());
    return parts;
}

} // namespace Fuzz

} // namespace quorvane
