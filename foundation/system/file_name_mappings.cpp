#include "foundation/system/file_name_mappings.h"

#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

constexpr TypeCode kText = MakeTypeCode("TEXT");

constexpr FileNameMapping Text(const char* extension, const char* mimeType, const char* name)
{
    return {extension, mimeType, kText, kAnyApplicationCreator, name, 0};
}

constexpr FileNameMapping Binary(const char* extension, const char* mimeType, TypeCode type,
                                 const char* name)
{
    return {extension, mimeType, type, kAnyApplicationCreator, name, kMappingBinary};
}

// Order matters: a walk that looks for a MIME type takes the first entry that
// has it, so each type's preferred extension comes first, and an extension
// listed again with another MIME type (".js" as application/javascript) lets a
// server's older spelling of the type find it too. Lookups by extension take
// the first entry for it. No MIME type may be preceded by a proper prefix of
// itself, or a walk matching the start of a Content-Type would stop early.
constexpr FileNameMapping kMappings[] = {
    Text(".html", "text/html", "HTML text"),
    Text(".htm", "text/html", "HTML text"),
    Text(".shtml", "text/html", "HTML text with server includes"),
    Text(".xhtml", "application/xhtml+xml", "XHTML text"),
    Text(".php", "text/html", "Server page"),
    Text(".asp", "text/html", "Server page"),
    Text(".aspx", "text/html", "Server page"),
    Text(".jsp", "text/html", "Server page"),
    Text(".cgi", "text/html", "Server program output"),
    Text(".css", "text/css", "Style sheet"),
    Text(".js", "text/javascript", "Script"),
    Text(".js", "application/javascript", "Script"),
    Text(".js", "application/x-javascript", "Script"),
    Text(".json", "application/json", "JSON data"),
    Text(".xml", "text/xml", "XML text"),
    Text(".xml", "application/xml", "XML text"),
    Text(".rss", "application/rss+xml", "News feed"),
    Text(".atom", "application/atom+xml", "News feed"),
    Text(".txt", "text/plain", "Plain text"),
    Text(".text", "text/plain", "Plain text"),
    Text(".csv", "text/csv", "Comma-separated values"),
    Text(".rtf", "application/rtf", "Rich text"),
    Text(".rtf", "text/rtf", "Rich text"),
    Text(".svg", "image/svg+xml", "SVG image"),
    Text(".ps", "application/postscript", "PostScript document"),
    Text(".eps", "application/postscript", "PostScript document"),
    Binary(".gif", "image/gif", MakeTypeCode("GIFf"), "GIF image"),
    Binary(".jpg", "image/jpeg", MakeTypeCode("JPEG"), "JPEG image"),
    Binary(".jpeg", "image/jpeg", MakeTypeCode("JPEG"), "JPEG image"),
    Binary(".jpe", "image/jpeg", MakeTypeCode("JPEG"), "JPEG image"),
    Binary(".jpg", "image/pjpeg", MakeTypeCode("JPEG"), "JPEG image"),
    Binary(".png", "image/png", MakeTypeCode("PNGf"), "PNG image"),
    Binary(".webp", "image/webp", MakeTypeCode("WEBP"), "WebP image"),
    Binary(".avif", "image/avif", MakeTypeCode("AVIF"), "AVIF image"),
    Binary(".ico", "image/x-icon", MakeTypeCode("ICO "), "Icon"),
    Binary(".ico", "image/vnd.microsoft.icon", MakeTypeCode("ICO "), "Icon"),
    Binary(".bmp", "image/bmp", MakeTypeCode("BMPf"), "Bitmap image"),
    Binary(".bmp", "image/x-ms-bmp", MakeTypeCode("BMPf"), "Bitmap image"),
    Binary(".tif", "image/tiff", MakeTypeCode("TIFF"), "TIFF image"),
    Binary(".tiff", "image/tiff", MakeTypeCode("TIFF"), "TIFF image"),
    Binary(".pdf", "application/pdf", MakeTypeCode("PDF "), "PDF document"),
    Binary(".zip", "application/zip", MakeTypeCode("ZIP "), "Zip archive"),
    Binary(".zip", "application/x-zip-compressed", MakeTypeCode("ZIP "), "Zip archive"),
    Binary(".gz", "application/gzip", MakeTypeCode("Gzip"), "Gzip archive"),
    Binary(".gz", "application/x-gzip", MakeTypeCode("Gzip"), "Gzip archive"),
    Binary(".tgz", "application/gzip", MakeTypeCode("Gzip"), "Compressed tar archive"),
    Binary(".tar", "application/x-tar", MakeTypeCode("TARF"), "Tar archive"),
    Binary(".bz2", "application/x-bzip2", MakeTypeCode("Bzp2"), "Bzip2 archive"),
    Binary(".mp3", "audio/mpeg", MakeTypeCode("MPG3"), "MP3 audio"),
    Binary(".wav", "audio/wav", MakeTypeCode("WAVE"), "WAVE audio"),
    Binary(".wav", "audio/x-wav", MakeTypeCode("WAVE"), "WAVE audio"),
    Binary(".aif", "audio/x-aiff", MakeTypeCode("AIFF"), "AIFF audio"),
    Binary(".aiff", "audio/x-aiff", MakeTypeCode("AIFF"), "AIFF audio"),
    Binary(".ogg", "audio/ogg", MakeTypeCode("OggS"), "Ogg audio"),
    Binary(".ogg", "application/ogg", MakeTypeCode("OggS"), "Ogg audio"),
    Binary(".oga", "audio/ogg", MakeTypeCode("OggS"), "Ogg audio"),
    Binary(".ogv", "video/ogg", MakeTypeCode("OggS"), "Ogg video"),
    Binary(".mid", "audio/midi", MakeTypeCode("Midi"), "MIDI music"),
    Binary(".midi", "audio/midi", MakeTypeCode("Midi"), "MIDI music"),
    Binary(".m4a", "audio/mp4", MakeTypeCode("M4A "), "MPEG-4 audio"),
    Binary(".mp4", "video/mp4", MakeTypeCode("mpg4"), "MPEG-4 video"),
    Binary(".m4v", "video/x-m4v", MakeTypeCode("M4V "), "MPEG-4 video"),
    Binary(".mov", "video/quicktime", MakeTypeCode("MooV"), "Movie"),
    Binary(".avi", "video/x-msvideo", MakeTypeCode("VfW "), "AVI video"),
    Binary(".mpg", "video/mpeg", MakeTypeCode("MPEG"), "MPEG video"),
    Binary(".mpeg", "video/mpeg", MakeTypeCode("MPEG"), "MPEG video"),
    Binary(".webm", "video/webm", MakeTypeCode("WEBM"), "WebM video"),
    Binary(".flv", "video/x-flv", MakeTypeCode("FLV "), "Flash video"),
    Binary(".swf", "application/x-shockwave-flash", MakeTypeCode("SWFL"), "Flash movie"),
    // "font/woff" starts "font/woff2": the longer type goes first.
    Binary(".woff2", "font/woff2", MakeTypeCode("wof2"), "Web font"),
    Binary(".woff", "font/woff", MakeTypeCode("woff"), "Web font"),
    Binary(".woff", "application/font-woff", MakeTypeCode("woff"), "Web font"),
    Binary(".ttf", "font/ttf", MakeTypeCode("sfnt"), "TrueType font"),
    Binary(".ttf", "application/x-font-ttf", MakeTypeCode("sfnt"), "TrueType font"),
    Binary(".otf", "font/otf", MakeTypeCode("OTTO"), "OpenType font"),
    Binary(".eot", "application/vnd.ms-fontobject", MakeTypeCode("EOT "), "Embedded font"),
    Binary(".doc", "application/msword", MakeTypeCode("W8BN"), "Word processor document"),
    Binary(".xls", "application/vnd.ms-excel", MakeTypeCode("XLS8"), "Spreadsheet"),
    Binary(".ppt", "application/vnd.ms-powerpoint", MakeTypeCode("SLD8"), "Presentation"),
    Binary(".odt", "application/vnd.oasis.opendocument.text", MakeTypeCode("ODT "),
           "Text document"),
    Binary(".ods", "application/vnd.oasis.opendocument.spreadsheet", MakeTypeCode("ODS "),
           "Spreadsheet"),
    Binary(".odp", "application/vnd.oasis.opendocument.presentation", MakeTypeCode("ODP "),
           "Presentation"),
};

}  // namespace

std::span<const FileNameMapping> FileNameMappings()
{
    return kMappings;
}

const FileNameMapping* FindFileNameMapping(std::string_view extension)
{
    if (extension.size() < 2 || extension[0] != '.') return nullptr;
    for (const FileNameMapping& entry : kMappings)
        if (EqualsNoCase(entry.extension, extension)) return &entry;
    return nullptr;
}

const FileNameMapping* FindFileNameMappingForName(std::string_view fileName)
{
    std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos) return nullptr;
    std::string_view extension = fileName.substr(dot);
    if (extension.find('/') != std::string_view::npos) return nullptr;
    return FindFileNameMapping(extension);
}
