#include "engine/config/list_item_fields.h"

namespace {

// The char an escape stands for, or 0 when `text` does not begin with one.
char EscapedChar(std::string_view text)
{
    if (text.size() < 3 || text[0] != '%') return 0;
    std::string_view code = text.substr(1, 2);
    if (code == "2C" || code == "2c") return ',';
    if (code == "09") return '\t';
    if (code == "25") return '%';
    return 0;
}

}  // namespace

std::string EncodeItemField(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        char c = field[i];
        if (c == ',') out += "%2C";
        else if (c == '\t') out += "%09";
        else if (c == '%' && EscapedChar(field.substr(i)) != 0) out += "%25";
        else out += c;
    }
    return out;
}

std::string DecodeItemField(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        char escaped = EscapedChar(field.substr(i));
        if (escaped != 0) {
            out += escaped;
            i += 2;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::string JoinItemFields(std::initializer_list<std::string_view> fields)
{
    std::string item;
    bool first = true;
    for (std::string_view field : fields) {
        if (!first) item += '\t';
        item += EncodeItemField(field);
        first = false;
    }
    return item;
}

std::vector<std::string> SplitItemFields(std::string_view item, std::size_t count)
{
    std::vector<std::string> fields;
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t tab = i + 1 < count ? item.find('\t') : std::string_view::npos;
        fields.push_back(DecodeItemField(item.substr(0, tab)));
        item.remove_prefix(tab == std::string_view::npos ? item.size() : tab + 1);
    }
    return fields;
}

std::vector<std::string_view> SplitListItems(std::string_view value)
{
    std::vector<std::string_view> items;
    while (!value.empty()) {
        std::size_t comma = value.find(',');
        std::string_view item = value.substr(0, comma);
        if (!item.empty()) items.push_back(item);
        value.remove_prefix(comma == std::string_view::npos ? value.size() : comma + 1);
    }
    return items;
}
