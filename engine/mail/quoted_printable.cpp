#include "engine/mail/quoted_printable.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool IsLiteral(unsigned char c) { return (c >= 33 && c <= 126 && c != '=') || c == ' ' || c == '\t'; }

void EncodeLine(std::string_view line, std::string& out)
{
    std::size_t column = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        const bool lastOfLine = i + 1 == line.size();
        char token[3];
        std::size_t length = 1;
        if (IsLiteral(c) && !(lastOfLine && (c == ' ' || c == '\t'))) {
            token[0] = static_cast<char>(c);
        } else {
            token[0] = '=';
            token[1] = kHex[c >> 4];
            token[2] = kHex[c & 15];
            length = 3;
        }
        // One place stays free for the soft break's '='.
        if (column + length > kQuotedPrintableLineLength - 1) {
            out += "=\r\n";
            column = 0;
        }
        out.append(token, length);
        column += length;
    }
}

}  // namespace

std::string EncodeQuotedPrintable(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find_first_of("\r\n", start);
        EncodeLine(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start), out);
        if (end == std::string_view::npos) break;
        out += "\r\n";
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
        if (start == text.size()) break;
    }
    return out;
}
