// Attachments: small objects hung on a host (the application, a window) that
// run for the messages they are registered for, before the host's own
// handling. The application executes kMsgEvent once for every event it
// handles (outside nested loops).
#pragma once

#include <memory>
#include <vector>

#include "app/framework/framework_codes.h"

class CAttachment {
public:
    // kMsgNothing as `message` means: every message.
    explicit CAttachment(MessageT message = kMsgNothing, bool executeHost = true)
        : mMessage(message), mExecuteHost(executeHost) {}
    virtual ~CAttachment() = default;

    MessageT GetMessage() const { return mMessage; }
    // Runs ExecuteSelf when the message is ours; returns whether the host
    // should still do its own handling.
    bool Execute(MessageT message, void* ioParam);

protected:
    virtual void ExecuteSelf(MessageT message, void* ioParam) = 0;

private:
    MessageT mMessage;
    bool mExecuteHost;
};

class CAttachmentHost {
public:
    virtual ~CAttachmentHost();
    // The host owns its attachments; they run in the order they were added.
    CAttachment* AddAttachment(std::unique_ptr<CAttachment> attachment);
    // Every attachment; false when one of them asked that the host skip its
    // own handling.
    bool ExecuteAttachments(MessageT message, void* ioParam = nullptr);

private:
    std::vector<std::unique_ptr<CAttachment>> mAttachments;
};
