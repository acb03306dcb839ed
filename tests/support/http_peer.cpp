#include "tests/support/http_peer.h"

#include "foundation/text/ascii.h"
#include "foundation/text/utf8_validity.h"
#include "tests/support/base64.h"
#include "tests/support/file_bytes.h"

#include <algorithm>
#include <stdexcept>

namespace testsupport {

namespace {

JsonValue HeaderListJson(const HeaderList& headers)
{
    JsonValue::Array pairs;
    for (const auto& [name, value] : headers) pairs.push_back(JsonValue::Array{name, value});
    return pairs;
}

HeaderList HeaderListFromJson(const JsonValue& value)
{
    HeaderList headers;
    if (!value.IsArray()) return headers;
    for (const auto& pair : value.AsArray())
        headers.emplace_back(pair.AsArray().at(0).AsString(), pair.AsArray().at(1).AsString());
    return headers;
}

std::string TextOrEmpty(const JsonValue& value)
{
    return value.IsString() ? value.AsString() : std::string();
}

HttpRequestRecord RecordFromJson(const JsonValue& json)
{
    HttpRequestRecord record;
    record.connection = static_cast<int>(json["connection"].AsInteger());
    record.index = static_cast<int>(json["index"].AsInteger());
    record.method = TextOrEmpty(json["method"]);
    record.target = TextOrEmpty(json["target"]);
    record.path = TextOrEmpty(json["path"]);
    record.query = TextOrEmpty(json["query"]);
    record.version = TextOrEmpty(json["version"]);
    record.headers = HeaderListFromJson(json["headers"]);
    record.head = Base64Decode(TextOrEmpty(json["head_base64"]));
    record.body = Base64Decode(TextOrEmpty(json["body_base64"]));
    record.tls = json["tls"].IsBool() && json["tls"].AsBool();
    return record;
}

}  // namespace

JsonValue HttpRoute::ToJson() const
{
    JsonValue route;
    route.Set("method", method);
    route.Set("path", path);
    if (query) route.Set("query", *query);
    if (status != 0) route.Set("status", status);
    if (!reason.empty()) route.Set("reason", reason);
    if (!headers.empty()) route.Set("headers", HeaderListJson(headers));
    if (!bodyFile.empty())
        route.Set("body_file", bodyFile);
    else if (IsValidUtf8(body))
        route.Set("body", body);
    else
        route.Set("body_base64", Base64Encode(body));
    if (chunked) route.Set("chunked", true);
    if (!redirect.empty()) route.Set("redirect", redirect);
    if (!setCookies.empty()) {
        JsonValue::Array cookies(setCookies.begin(), setCookies.end());
        route.Set("set_cookies", std::move(cookies));
    }
    if (!requireCookie.empty()) route.Set("require_cookie", requireCookie);
    if (realm) {
        JsonValue value;
        value.Set("name", realm->name);
        value.Set("user", realm->user);
        value.Set("password", realm->password);
        route.Set("realm", std::move(value));
    }
    if (flaky > 0) route.Set("flaky", flaky);
    if (sendContinue) route.Set("continue", *sendContinue);
    if (stallSeconds > 0) route.Set("stall", stallSeconds);
    if (trickle) {
        JsonValue value;
        value.Set("bytes", trickle->bytes);
        value.Set("delay", trickle->delaySeconds);
        route.Set("trickle", std::move(value));
    }
    if (closeMidBody) route.Set("close_mid_body", *closeMidBody);
    if (bareLf) route.Set("bare_lf", true);
    if (close) route.Set("close", true);
    return route;
}

std::optional<std::string> HttpRequestRecord::Header(std::string_view name) const
{
    for (const auto& [key, value] : headers)
        if (EqualsNoCase(key, name)) return value;
    return std::nullopt;
}

std::vector<std::string> HttpRequestRecord::HeaderValues(std::string_view name) const
{
    std::vector<std::string> values;
    for (const auto& [key, value] : headers)
        if (EqualsNoCase(key, name)) values.push_back(value);
    return values;
}

HttpPeer::HttpPeer(std::initializer_list<HttpRoute> routes, const HttpPeerOptions& options)
    : HttpPeer(std::vector<HttpRoute>(routes), options)
{
}

HttpPeer::HttpPeer(const std::vector<HttpRoute>& routes, const HttpPeerOptions& options)
{
    JsonValue::Array routeList;
    for (const auto& route : routes) routeList.push_back(route.ToJson());
    JsonValue script;
    script.Set("routes", std::move(routeList));
    std::vector<std::string> args = {"--script", mDir.Write("script.json", script.Serialize()),
                                     "--log", mDir.File("requests.jsonl"),
                                     "--lifetime", std::to_string(options.lifetimeSeconds),
                                     "--host", options.host};
    mHost = options.host;
    if (!options.root.empty()) {
        args.push_back("--root");
        args.push_back(options.root);
    }
    if (!options.tlsCertFile.empty() || !options.tlsKeyFile.empty()) {
        if (options.tlsCertFile.empty() || options.tlsKeyFile.empty())
            throw std::invalid_argument("HTTPS needs both a certificate and a key");
        mTls = true;
        args.insert(args.end(), {"--tls-cert", options.tlsCertFile, "--tls-key", options.tlsKeyFile});
    }
    mProcess = std::make_unique<PeerProcess>(PythonPeerArgv("http_peer.py", std::move(args)));
    mPort = mProcess->ReadPortLine();
}

std::string HttpPeer::BaseUrl() const
{
    return std::string(mTls ? "https" : "http") + "://" + mHost + ":" + std::to_string(mPort);
}

std::string HttpPeer::Url(std::string_view pathAndQuery) const
{
    return BaseUrl() + std::string(pathAndQuery);
}

std::vector<JsonValue> HttpPeer::LogRecords() const
{
    return ReadJsonLines(mDir.File("requests.jsonl"));
}

std::vector<HttpRequestRecord> HttpPeer::Requests() const
{
    std::vector<HttpRequestRecord> requests;
    for (const auto& record : LogRecords())
        if (record["type"].IsString() && record["type"].AsString() == "request")
            requests.push_back(RecordFromJson(record));
    // Connections log on their own threads; the index is the arrival order.
    std::sort(requests.begin(), requests.end(),
              [](const HttpRequestRecord& a, const HttpRequestRecord& b) { return a.index < b.index; });
    return requests;
}

int HttpPeer::RequestCount(std::string_view target, std::string_view method) const
{
    const auto requests = Requests();
    return static_cast<int>(std::count_if(requests.begin(), requests.end(), [&](const HttpRequestRecord& request) {
        return request.target == target && (method.empty() || request.method == method);
    }));
}

int HttpPeer::ConnectionCount() const
{
    int count = 0;
    for (const auto& record : LogRecords())
        if (record["type"].IsString() && record["type"].AsString() == "connection") ++count;
    return count;
}

}  // namespace testsupport
