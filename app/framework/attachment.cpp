#include "app/framework/attachment.h"

bool CAttachment::Execute(MessageT message, void* ioParam)
{
    if (mMessage != kMsgNothing && mMessage != message) return true;
    ExecuteSelf(message, ioParam);
    return mExecuteHost;
}

CAttachmentHost::~CAttachmentHost() = default;

CAttachment* CAttachmentHost::AddAttachment(std::unique_ptr<CAttachment> attachment)
{
    mAttachments.push_back(std::move(attachment));
    return mAttachments.back().get();
}

bool CAttachmentHost::ExecuteAttachments(MessageT message, void* ioParam)
{
    bool executeHost = true;
    // Attachments added during the walk run from the next message on.
    const std::size_t count = mAttachments.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (!mAttachments[i]->Execute(message, ioParam)) executeHost = false;
    }
    return executeHost;
}
