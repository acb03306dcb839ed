// One further MIME part of a notification mail (the progress picture):
// its name, type, transfer encoding, encoded data and its MIME header lines.
#pragma once

#include <cstdint>

#include "foundation/text/text_buffer.h"

class CMailPart {
public:
    // mEncoding: 1 means the data is base64; any other value, 7bit.
    static constexpr std::int32_t kEncodingBase64 = 1;
    // What a part is sent as when neither its name nor its file says more.
    static constexpr const char* kFallbackContentType = "application/octet-stream";

    // Re-derives the content type, then writes mHeaderText:
    //   Content-Transfer-Encoding: base64|7bit
    //   Content-Type: <type>;
    //   <TAB>name="<name>"
    //   Content-Disposition: inline;
    //   <TAB>filename=<name>
    // each line ended by CR LF. The filename is quoted only when it is not a
    // plain token; CR, LF and quotes never reach a header.
    void BuildHeaderText();

    // The MIME type for the part: the file-name mapping of its name; when
    // that succeeds and the source path names an existing file with type
    // and creator labels, the first mapping with that type and creator
    // ("text/plain" for 'TEXT' files). When the name has no mapping the type
    // already set is kept, and an empty one becomes kFallbackContentType.
    void DeriveContentType();

    friend bool operator==(const CMailPart& a, const CMailPart& b)
    {
        return a.mSourcePath == b.mSourcePath && a.mEncoding == b.mEncoding && a.mName == b.mName &&
               a.mContentType == b.mContentType && a.mData == b.mData && a.mHeaderText == b.mHeaderText;
    }

    CTextBuffer mSourcePath;
    std::int32_t mEncoding = 0;
    CTextBuffer mName;
    CTextBuffer mContentType;
    CTextBuffer mData;  // already encoded, lines ended by CR LF
    CTextBuffer mHeaderText;
};
