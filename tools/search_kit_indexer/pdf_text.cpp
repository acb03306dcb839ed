// The PDF module's one function: the text of every page, a line break after
// each, through poppler.
#include <climits>
#include <memory>

#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>
#include <poppler/cpp/poppler-page.h>

#include "tools/search_kit_indexer/pdf_module.h"

namespace {

void Quiet(const std::string&, void*) {}

}  // namespace

extern "C" __attribute__((visibility("default"))) void SearchKitPDFText(const char* bytes, std::size_t size,
                                                                          std::string* text)
{
    text->clear();
    if (size == 0 || size > static_cast<std::size_t>(INT_MAX)) return;
    poppler::set_debug_error_function(Quiet, nullptr);
    std::unique_ptr<poppler::document> document(poppler::document::load_from_raw_data(bytes, static_cast<int>(size)));
    if (!document || document->is_locked()) return;
    for (int index = 0; index < document->pages(); ++index) {
        std::unique_ptr<poppler::page> page(document->create_page(index));
        if (!page) continue;
        poppler::byte_array utf8 = page->text().to_utf8();
        text->append(utf8.begin(), utf8.end());
        *text += '\n';
    }
}
