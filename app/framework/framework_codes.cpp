#include "app/framework/framework_codes.h"

#include "foundation/errors/framework_exception.h"

void ThrowNilPointer(const char* operation)
{
    throw CFrameworkException(kErrNilPointer, operation != nullptr ? operation : "");
}
