// The size of the document a web view shows.
#pragma once

#include <chrono>
#include <optional>

class QWebEngineView;

namespace webpeek {

struct DocumentSize {
    int width = 0;
    int height = 0;
};

// The document's scrollable size in CSS pixels (at least the viewport),
// truncated; nothing when the view holds no document or does not answer
// within `timeout`.
std::optional<DocumentSize> MeasureDocument(QWebEngineView& view, std::chrono::milliseconds timeout);

}  // namespace webpeek
