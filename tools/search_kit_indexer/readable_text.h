// The text a reader of a file would see, as UTF-8: the words of an HTML page
// (its title and body text, never scripts, styles or CDATA sections), the
// text of a PDF (read by a module loaded when one is met), a
// plain text file as it is. Other files (images, archives, folders) have no
// readable text.
#pragma once

#include <string>
#include <string_view>

enum class EItemKind { kNone, kHTML, kPDF, kText };

// Decides by the bytes first (a PDF header, an HTML start), then by the
// name's extension; bytes holding NULs are no text.
EItemKind KindOfItem(std::string_view name, std::string_view bytes);

// Each gives "" when nothing readable is found.
std::string HTMLReadableText(std::string_view bytes);
std::string PDFReadableText(std::string_view bytes);
// False when the PDF reader cannot be loaded: a PDF then cannot be read,
// which is not the same as a PDF without text.
bool CanReadPDF();
// Valid UTF-8 stays as it is; other bytes are read as Windows-1252, the
// usual encoding of older text files.
std::string PlainReadableText(std::string_view bytes);

std::string ReadableText(EItemKind kind, std::string_view bytes);
