#include "foundation/errors/framework_exception.h"

#include <utility>

CFrameworkException::CFrameworkException(std::int32_t errorCode, std::string message)
    : mErrorCode(errorCode), mMessage(std::move(message))
{
}
