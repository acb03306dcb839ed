#include "engine/html/page_cleanup.h"

#include "foundation/text/text_buffer.h"

bool RemoveJavaScript(CTextBuffer& page)
{
    return page.DeleteAllBetweenInRegion("<script", "</script>", "<body", "</body>");
}

bool RemoveJavaScript(std::string& page)
{
    CTextBuffer text(std::string_view{page});
    if (!RemoveJavaScript(text)) return false;
    page.assign(text.View());
    return true;
}
