// Loading the PDF module on demand: beside the tool (the build tree), else in
// the installed library folder.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "tools/search_kit_indexer/pdf_module.h"
#include "tools/search_kit_indexer/readable_text.h"

namespace {

std::string ToolFolder()
{
    char self[4096];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return ".";
    const std::string path(self, static_cast<std::size_t>(length));
    return path.substr(0, path.find_last_of('/'));
}

PDFTextFunction LoadPDFModule()
{
    const std::string folder = ToolFolder();
    for (const std::string& candidate : {folder + "/" + kPDFModuleName,
                                         folder + "/" SEARCH_KIT_MODULE_FOLDER "/" + kPDFModuleName}) {
        void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) continue;
        if (void* function = ::dlsym(module, kPDFTextFunction)) return reinterpret_cast<PDFTextFunction>(function);
        ::dlclose(module);
    }
    std::fprintf(stderr, "SearchKitIndexer: the PDF reader %s cannot be loaded\n", kPDFModuleName);
    return nullptr;
}

PDFTextFunction PDFReader()
{
    static const PDFTextFunction reader = LoadPDFModule();
    return reader;
}

}  // namespace

bool CanReadPDF() { return PDFReader() != nullptr; }

std::string PDFReadableText(std::string_view bytes)
{
    const PDFTextFunction reader = PDFReader();
    std::string text;
    if (reader != nullptr && !bytes.empty()) reader(bytes.data(), bytes.size(), &text);
    return text;
}
