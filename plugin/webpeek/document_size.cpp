#include "plugin/webpeek/document_size.h"

#include <cmath>
#include <limits>
#include <memory>

#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "plugin/webpeek/load_wait.h"

namespace webpeek {

namespace {

// Runs in a world of its own, so the page's scripts cannot change the answer.
const char* const kMeasureScript =
    "(function () {"
    "  const root = document.scrollingElement || document.documentElement;"
    "  return root ? [root.scrollWidth, root.scrollHeight] : null;"
    "})()";

std::optional<int> TruncatedPixels(const QVariant& value)
{
    bool ok = false;
    const double pixels = value.toDouble(&ok);
    if (!ok || !std::isfinite(pixels) || pixels < 0) return std::nullopt;
    if (pixels >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return static_cast<int>(std::trunc(pixels));
}

struct Measurement {
    explicit Measurement(QWebEngineView& view) : wait(view) {}
    ViewWait wait;
    QVariant answer;
};

}  // namespace

std::optional<DocumentSize> MeasureDocument(QWebEngineView& view, std::chrono::milliseconds timeout)
{
    // The answer may come after a time-out: it then finds the measurement gone.
    auto measurement = std::make_shared<Measurement>(view);
    std::weak_ptr<Measurement> pending = measurement;
    view.page()->runJavaScript(QString::fromLatin1(kMeasureScript), QWebEngineScript::ApplicationWorld,
                               [pending](const QVariant& answer) {
                                   if (auto waiting = pending.lock()) {
                                       waiting->answer = answer;
                                       waiting->wait.Finish();
                                   }
                               });
    if (!measurement->wait.Run(timeout)) return std::nullopt;
    const QVariantList sizes = measurement->answer.toList();
    if (sizes.size() != 2) return std::nullopt;
    const auto width = TruncatedPixels(sizes[0]);
    const auto height = TruncatedPixels(sizes[1]);
    if (!width || !height) return std::nullopt;
    return DocumentSize{*width, *height};
}

}  // namespace webpeek
