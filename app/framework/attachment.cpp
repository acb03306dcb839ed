#include "app/framework/attachment.h"

#include <algorithm>

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

void CAttachmentHost::RemoveAttachment(CAttachment* attachment)
{
    auto found = std::find_if(mAttachments.begin(), mAttachments.end(),
                              [&](const auto& owned) { return owned.get() == attachment; });
    if (found == mAttachments.end()) return;
    // During a walk the slot stays (emptied) so the walk's indexes hold.
    if (mWalking > 0) {
        mRemoved.push_back(std::move(*found));
    } else {
        mAttachments.erase(found);
    }
}

bool CAttachmentHost::ExecuteAttachments(MessageT message, void* ioParam)
{
    bool executeHost = true;
    ++mWalking;
    // Attachments added during the walk run from the next message on.
    std::size_t count = mAttachments.size();
    for (std::size_t i = 0; i < count && i < mAttachments.size(); ++i) {
        if (mAttachments[i] && !mAttachments[i]->Execute(message, ioParam)) executeHost = false;
    }
    if (--mWalking == 0) {
        std::erase(mAttachments, nullptr);
        mRemoved.clear();
    }
    return executeHost;
}

std::size_t CAttachmentHost::CountAttachments() const
{
    return static_cast<std::size_t>(std::count_if(mAttachments.begin(), mAttachments.end(),
                                                  [](const auto& owned) { return owned != nullptr; }));
}
