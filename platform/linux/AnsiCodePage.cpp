#include "platform/AnsiCodePage.h"

#include <cerrno>
#include <iconv.h>

namespace quorvane {

namespace {

constexpr const char* kAnsiCodePage = "CP936";

// Owns one conversion descriptor; one per call keeps the conversion thread-safe.
class Converter final
{
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input; `onBadInput` gives the replacement and how many input bytes to skip.
    template <typename OnBadInput> QByteArray run(const QByteArray& input, OnBadInput onBadInput)
    {
        QByteArray out;
        out.reserve(input.size() * 2 + 16);
        char* in = const_cast<char*>(input.constData());
        size_t inLeft = static_cast<size_t>(input.size());
        char buffer[1024];
        while (inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            const size_t rc = iconv(m_cd, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<qsizetype>(outPtr - buffer));
            if (rc != static_cast<size_t>(-1) || errno == E2BIG)
                continue;
            // EILSEQ or EINVAL: an unconvertible or truncated sequence at `in`.
            const auto [replacement, skip] = onBadInput(in, inLeft);
            out.append(replacement);
            in += skip;
            inLeft -= skip;
        }
        return out;
    }

private:
    iconv_t m_cd;
};

size_t utf8SequenceLength(const char* p, size_t left)
{
    const auto lead = static_cast<unsigned char>(*p);
    size_t length = 1;
    if (lead >= 0xF0)
        length = 4;
    else if (lead >= 0xE0)
        length = 3;
    else if (lead >= 0xC0)
        length = 2;
    return length < left ? length : left;
}

} // namespace

QByteArray toAnsi(const QString& text)
{
    if (text.isEmpty())
        return {};
    Converter converter(kAnsiCodePage, "UTF-8");
    if (!converter.valid())
        return text.toLatin1();
    return converter.run(text.toUtf8(), [](const char* p, size_t left) {
        return std::pair<QByteArray, size_t>(QByteArray("?"), utf8SequenceLength(p, left));
    });
}

QString fromAnsi(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    Converter converter("UTF-8", kAnsiCodePage);
    if (!converter.valid())
        return QString::fromLatin1(bytes);
    return QString::fromUtf8(converter.run(bytes, [](const char*, size_t) {
        return std::pair<QByteArray, size_t>(QByteArray("\xEF\xBF\xBD"), size_t{1});
    }));
}

} // namespace quorvane
