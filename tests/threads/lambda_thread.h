// A CThread whose body is a lambda, for tests.
#pragma once

#include <functional>
#include <utility>

#include "foundation/threads/thread.h"

class CLambdaThread : public CThread {
public:
    using Body = std::function<void(CLambdaThread&)>;
    explicit CLambdaThread(Body body, EWhenFinished whenFinished = EWhenFinished::kKeep)
        : CThread(whenFinished), mBody(std::move(body))
    {
    }

protected:
    void* Run() override
    {
        mBody(*this);
        return nullptr;
    }

private:
    Body mBody;
};
