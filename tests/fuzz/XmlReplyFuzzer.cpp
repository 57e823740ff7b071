// A reply body of the application server, through loading and every operation's reading steps.
#include "tests/fuzz/FuzzTarget.h"

#include "platform/Failure.h"
#include "server/ServerApi.h"

#include <functional>

namespace quorvane {

namespace {

const QString kAppUrl = QStringLiteral("http://127.0.0.1:8080/quorvane2");

const char* const kPaths[] = {"/responsed/code",   "/responsed/msg",         "/responsed/token",
                              "/responsed/role",   "/responsed/url",         "/responsed/width",
                              "/responsed/height", "/responsed/title_height"};

// Runs one reading step; a Failure is a reported failure, anything else escapes and is a finding.
template <typename Step> bool reads(Step step)
{
    try {
        step();
        return true;
    } catch (const Failure&) {
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static pugi::xml_document document;
    static ServerApi api(document);
    const QByteArray body = Fuzz::bytes(data, size);

    // Each round starts on a document that holds an earlier reply, as the client's does.
    api.loadReply(document, "<responsed><code>0</code><token>earlier</token></responsed>");
    if (!reads([&] { api.loadReply(document, body); })) {
        FUZZ_CHECK(!document.first_child(), "a reply that failed to load leaves nothing to read");
        return 0;
    }

    for (const char* path : kPaths)
        reads([&] { api.getNodeText(document, QString::fromLatin1(path)); });

    bool success = false;
    int code = 0;
    if (reads([&] { success = api.isSuccess(document); }) &&
        reads([&] { code = api.getResultCode(document); }))
        FUZZ_CHECK(!success || code == 0, "a successful reply has the code 0");

    for (const bool readRole : {true, false}) {
        reads([&] {
            const LoginReply login = api.readLoginReply(readRole);
            FUZZ_CHECK(login.code == code, "sign-in reads the result code");
            FUZZ_CHECK(login.code == 0 || login.token.isEmpty(), "a refused sign-in has no token");
            FUZZ_CHECK(login.code != 0 || login.msg.isEmpty(), "a sign-in has no failure message");
            FUZZ_CHECK(readRole || login.role.isEmpty(), "the microblog sign-in reads no role");
        });
    }
    reads([&] {
        const Reply reg = api.readRegisterReply();
        FUZZ_CHECK(reg.success == success, "registration judges the code text");
        FUZZ_CHECK(reg.success || reg.token.isEmpty(), "a refused registration has no token");
    });
    reads([&] {
        const Reply poll = api.readInformationReply(kAppUrl);
        FUZZ_CHECK(poll.success == success, "the poll judges the code text");
        FUZZ_CHECK(poll.success || poll.url.isEmpty(), "a refused poll has no notification");
        FUZZ_CHECK(!poll.success || poll.url == QLatin1String("0") || poll.url.startsWith(kAppUrl),
                   "a notification page lies below the application URL");
        FUZZ_CHECK(poll.url != QLatin1String("0") || (poll.width == 0 && poll.height == 0),
                   "no notification, no size");
    });
    reads([&] {
        const QString message = api.readMessageReply();
        FUZZ_CHECK(!success || message.isEmpty(), "a successful change or share has no message");
    });
    return 0;
}

} // namespace quorvane
