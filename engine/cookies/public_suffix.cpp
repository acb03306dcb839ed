#include "engine/cookies/public_suffix.h"

#include <string>

const psl_ctx_t* PublicSuffixList()
{
    static const psl_ctx_t* const list = [] {
        const psl_ctx_t* latest = psl_latest(nullptr);
        return latest != nullptr ? latest : psl_builtin();
    }();
    return list;
}

bool IsPublicSuffix(std::string_view domain)
{
    const std::string name(domain);
    const psl_ctx_t* list = PublicSuffixList();
    // Without any list only a single label is known to be a suffix.
    if (list == nullptr) return name.find('.') == std::string::npos;
    return psl_is_public_suffix(list, name.c_str()) != 0;
}
