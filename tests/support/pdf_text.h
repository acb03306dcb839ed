// The text of a PDF file's pages, as the poppler tools read it back: what a
// test printed to a PDF printer is checked page by page.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// One text per page; empty when pdftotext cannot read the file.
std::vector<std::string> PdfPageTexts(const std::string& pdfPath);

}  // namespace testsupport
