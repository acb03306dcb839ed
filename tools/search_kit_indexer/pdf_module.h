// The PDF reader lives in a module of its own, loaded the first time a PDF
// is met: poppler and the libraries it brings (fonts, colour, images) cost
// most of the tool's start-up, and most items of a site are no PDFs.
#pragma once

#include <cstddef>
#include <string>

// The name of the module file and of the one function it exports.
inline constexpr const char* kPDFModuleName = "libsearch-kit-pdf.so";
inline constexpr const char* kPDFTextFunction = "SearchKitPDFText";

// The function's type: the UTF-8 text of the PDF in `bytes` into `text`
// (left empty when the document cannot be read).
using PDFTextFunction = void (*)(const char* bytes, std::size_t size, std::string* text);
