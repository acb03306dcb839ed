#include "engine/mail/mail_part.h"

#include <string>
#include <string_view>

#include "foundation/system/file_name_mappings.h"
#include "foundation/system/map_file_name.h"
#include "platform/xattr/item_attributes.h"

namespace {

// Header values come from callers: a CR or LF would start a header line of
// its own, and a quote would end the quoted name early.
std::string HeaderSafe(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\r' || c == '\n') out += ' ';
        else if (c == '"' || c == '\\') out += '_';
        else out += c;
    }
    return out;
}

// A MIME token: printable ASCII without blanks or specials.
bool IsToken(std::string_view text)
{
    if (text.empty()) return false;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F) return false;
        if (std::string_view("()<>@,;:\\\"/[]?=").find(c) != std::string_view::npos) return false;
    }
    return true;
}

const char* MimeTypeOfFileCodes(TypeCode type, TypeCode creator)
{
    if (type == MakeTypeCode("TEXT")) return "text/plain";
    for (const FileNameMapping& mapping : FileNameMappings())
        if (mapping.type == type && mapping.creator == creator) return mapping.mimeType;
    return nullptr;
}

}  // namespace

void CMailPart::DeriveContentType()
{
    CFixedString255 mimeType;
    const bool mapped = MapFileNameToMIMEType(mName.c_str(), mimeType) == kSysNoError && !mimeType.IsEmpty();
    if (mapped) {
        mContentType.Assign(mimeType.c_str());
        TypeCode type = 0;
        TypeCode creator = 0;
        if (!mSourcePath.IsEmpty() && ReadItemCode(mSourcePath.c_str(), kFileTypeAttribute, type) == 0 &&
            ReadItemCode(mSourcePath.c_str(), kFileCreatorAttribute, creator) == 0) {
            if (const char* byCodes = MimeTypeOfFileCodes(type, creator)) mContentType.Assign(byCodes);
        }
    }
    if (mContentType.IsEmpty()) mContentType.Assign(kFallbackContentType);
}

void CMailPart::BuildHeaderText()
{
    DeriveContentType();
    const std::string name = HeaderSafe(mName.View());
    const std::string type = HeaderSafe(mContentType.View());
    std::string text;
    text += "Content-Transfer-Encoding: ";
    text += mEncoding == kEncodingBase64 ? "base64" : "7bit";
    text += "\r\nContent-Type: " + type + ";\r\n";
    text += "\tname=\"" + name + "\"\r\n";
    text += "Content-Disposition: inline;\r\n";
    text += "\tfilename=" + (IsToken(name) ? name : "\"" + name + "\"") + "\r\n";
    mHeaderText.Assign(text);
}
