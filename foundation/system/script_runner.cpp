#include "foundation/system/script_runner.h"

#include "foundation/errors/status_codes.h"

namespace {

CTextBuffer& LastError()
{
    static CTextBuffer text;
    return text;
}

}  // namespace

std::int16_t RunAppleScriptText(const CTextBuffer&, CTextBuffer& result)
{
    LastError().Assign(kScriptingUnavailableText);
    result.Assign(LastError());
    return static_cast<std::int16_t>(kSysScriptingUnavailable);
}

const CTextBuffer& LastScriptErrorText()
{
    return LastError();
}
