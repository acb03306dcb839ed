#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "foundation/errors/framework_exception.h"
#include "foundation/errors/status.h"
#include "foundation/errors/status_codes.h"
#include "foundation/messaging/four_char_code.h"
#include "foundation/threads/thread.h"

namespace {

const std::int32_t kNilPointer = static_cast<std::int32_t>(MakeFourCharCode("nilP"));

CStatus Caught(const std::function<void()>& body)
{
    try {
        body();
    } catch (...) {
        return StatusFromCurrentException();
    }
    return CStatus::Success();
}

struct SStatusCase {
    const char* name;
    std::function<CStatus()> make;
    bool ok;
    std::int32_t code;
    std::string text;
};

TEST(StatusTest, CarriesOutcomeCodeAndText)
{
    const SStatusCase cases[] = {
        {"success", [] { return CStatus(); }, true, 0, ""},
        {"code zero is success", [] { return CStatus::FromCode(0); }, true, 0, ""},
        {"errno code", [] { return CStatus::FromCode(-ENOSPC); }, false, -ENOSPC, "No space left on device"},
        {"own code", [] { return CStatus::FromCode(kSysKeychainUnavailable); }, false, kSysKeychainUnavailable,
         "No keychain service is running"},
        {"unknown code", [] { return CStatus::FromCode(-9999); }, false, -9999, "error -9999"},
        {"own text", [] { return CStatus::Failure(-EACCES, "Could not write index.html"); }, false, -EACCES,
         "Could not write index.html"},
        // A failure built with code 0 must not read as success.
        {"failure with code zero", [] { return CStatus::Failure(0, "lost"); }, false, -EIO, "lost"},
        {"framework exception", [] { return Caught([] { throw CFrameworkException(kNilPointer, "No window 128"); }); },
         false, kNilPointer, "No window 128"},
        {"standard exception", [] { return Caught([] { throw std::runtime_error("bad header"); }); }, false, -EIO,
         "bad header"},
        {"out of memory", [] { return Caught([] { throw std::bad_alloc(); }); }, false, -ENOMEM,
         "Cannot allocate memory"},
        {"exception object", [] { return StatusFromException(std::logic_error("broken")); }, false, -EIO, "broken"},
    };
    for (const SStatusCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CStatus status = c.make();
        EXPECT_EQ(status.Ok(), c.ok);
        EXPECT_EQ(status.Failed(), !c.ok);
        EXPECT_EQ(status.Code(), c.code);
        EXPECT_EQ(status.Text(), c.text);
    }
}

TEST(StatusTest, StopRequestIsNotTurnedIntoAFailure)
{
    EXPECT_THROW(Caught([] { throw CThread::CStopException(); }), CThread::CStopException);
}

}  // namespace
