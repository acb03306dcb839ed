#include "engine/mail/mail_body.h"

#include "foundation/text/base64.h"

CMailBody::CMailBody() : mContentType(kDefaultContentType) {}

void CMailBody::AddImagePart(const void* bytes, std::size_t count)
{
    CMailPart part;
    part.mEncoding = CMailPart::kEncodingBase64;
    part.mData.Assign(EncodeBase64Lines(std::string_view(static_cast<const char*>(bytes), count), kBase64LineLength));
    part.mName.Assign(kProgressImageName);
    part.mContentType.Assign(kProgressImageType);
    part.BuildHeaderText();
    mParts.Append(part);
}
