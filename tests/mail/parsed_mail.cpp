#include "tests/mail/parsed_mail.h"

#include <gtest/gtest.h>

#include "tests/support/base64.h"
#include "tests/support/file_bytes.h"
#include "tests/support/json_value.h"
#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr const char* kParser = R"(
import base64, email, email.policy, json, sys
raw = open(sys.argv[1], "rb").read()
message = email.message_from_bytes(raw, policy=email.policy.default)
out = {"headers": {}, "entities": [], "defects": [str(d) for d in message.defects]}
for name, value in message.items():
    out["headers"][name.lower()] = str(value)
for part in message.walk():
    out["defects"] += [str(d) for d in part.defects]
    body = b"" if part.is_multipart() else (part.get_payload(decode=True) or b"")
    out["entities"].append({
        "type": part.get_content_type(),
        "charset": part.get_content_charset() or "",
        "cte": str(part.get("Content-Transfer-Encoding", "")),
        "filename": part.get_filename() or "",
        "disposition": part.get_content_disposition() or "",
        "body": base64.b64encode(body).decode("ascii"),
    })
print(json.dumps(out))
)";

}  // namespace

ParsedMail ParseMail(const std::string& raw)
{
    ParsedMail mail;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\n' && raw[i] != '\r') continue;
        const bool crlf = raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n';
        if (!crlf) mail.onlyCrLf = false;
        mail.longestLine = std::max(mail.longestLine, i - lineStart);
        if (crlf) ++i;
        lineStart = i + 1;
    }
    mail.longestLine = std::max(mail.longestLine, raw.size() - lineStart);

    testsupport::TempDir dir;
    const std::string script = dir.Write("parse_mail.py", kParser);
    const std::string message = dir.Write("message.eml", raw);
    const std::string output = dir.File("parsed.json");
    const int status = testsupport::RunProgram({testsupport::kPeerPython, "-I", "-B", script, message}, output);
    const std::string json = testsupport::ReadFileBytes(output);
    if (status != 0) {
        ADD_FAILURE() << "mail parser: " << testsupport::DescribeWaitStatus(status) << "\n" << json;
        return mail;
    }
    const testsupport::JsonValue parsed = testsupport::JsonValue::Parse(json);
    for (const auto& [name, value] : parsed["headers"].AsObject()) mail.headers[name] = value.AsString();
    for (const auto& defect : parsed["defects"].AsArray()) mail.defects.push_back(defect.AsString());
    for (const auto& entity : parsed["entities"].AsArray()) {
        mail.entities.push_back({entity["type"].AsString(), entity["charset"].AsString(), entity["cte"].AsString(),
                                 entity["filename"].AsString(), entity["disposition"].AsString(),
                                 testsupport::Base64Decode(entity["body"].AsString())});
    }
    return mail;
}
