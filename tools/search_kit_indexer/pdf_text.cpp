#include <memory>

#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>
#include <poppler/cpp/poppler-page.h>

#include "tools/search_kit_indexer/readable_text.h"

namespace {

void Quiet(const std::string&, void*) {}

}  // namespace

std::string PDFReadableText(std::string_view bytes)
{
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT32_MAX)) return "";
    poppler::set_debug_error_function(Quiet, nullptr);
    std::unique_ptr<poppler::document> document(
        poppler::document::load_from_raw_data(bytes.data(), static_cast<int>(bytes.size())));
    if (!document || document->is_locked()) return "";
    std::string text;
    for (int index = 0; index < document->pages(); ++index) {
        std::unique_ptr<poppler::page> page(document->create_page(index));
        if (!page) continue;
        poppler::byte_array utf8 = page->text().to_utf8();
        text.append(utf8.begin(), utf8.end());
        text += '\n';
    }
    return text;
}
