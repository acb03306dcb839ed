#include "tests/support/scripted_tcp_peer.h"

#include "tests/support/base64.h"
#include "tests/support/file_bytes.h"
#include "tests/support/json_value.h"

#include <algorithm>
#include <thread>

namespace testsupport {

namespace {

JsonValue StepJson(const TcpStep& step)
{
    JsonValue json;
    switch (step.kind) {
    case TcpStep::Kind::kSend: json.Set("send", step.text); break;
    case TcpStep::Kind::kExpect: json.Set("expect", step.text); break;
    case TcpStep::Kind::kReadUntil: json.Set("read_until", step.text); break;
    case TcpStep::Kind::kSleep: json.Set("sleep", step.seconds); break;
    case TcpStep::Kind::kNeverAnswer: json.Set("never_answer", true); break;
    case TcpStep::Kind::kCloseNow: json.Set("close", true); break;
    }
    return json;
}

}  // namespace

ScriptedTcpPeer::ScriptedTcpPeer(const std::vector<TcpStep>& steps, double lifetimeSeconds)
{
    JsonValue::Array stepList;
    for (const auto& step : steps) stepList.push_back(StepJson(step));
    JsonValue script;
    script.Set("steps", std::move(stepList));
    mProcess = std::make_unique<PeerProcess>(PythonPeerArgv(
        "tcp_script_peer.py", {"--script", mDir.Write("script.json", script.Serialize()), "--log",
                               mDir.File("events.jsonl"), "--lifetime", std::to_string(lifetimeSeconds)}));
    mPort = mProcess->ReadPortLine();
}

std::vector<TcpPeerConnection> ScriptedTcpPeer::Connections() const
{
    std::vector<TcpPeerConnection> connections;
    for (const auto& event : ReadJsonLines(mDir.File("events.jsonl"))) {
        int id = static_cast<int>(event["connection"].AsInteger());
        auto found = std::find_if(connections.begin(), connections.end(),
                                  [id](const TcpPeerConnection& c) { return c.id == id; });
        if (found == connections.end()) {
            connections.push_back(TcpPeerConnection{.id = id});
            found = connections.end() - 1;
        }
        const std::string& name = event["event"].AsString();
        if (name == "line") {
            found->lines.push_back(Base64Decode(event["data_base64"].AsString()));
        } else if (name == "mismatch") {
            found->mismatchStep = static_cast<int>(event["step"].AsInteger());
        } else if (name == "end") {
            found->ended = true;
            found->endReason = event["reason"].AsString();
        }
    }
    return connections;
}

bool ScriptedTcpPeer::WaitForEnded(std::size_t count, std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto connections = Connections();
        auto ended = std::count_if(connections.begin(), connections.end(),
                                   [](const TcpPeerConnection& c) { return c.ended; });
        if (static_cast<std::size_t>(ended) >= count) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace testsupport
