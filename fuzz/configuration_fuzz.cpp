// Configuration files, including old ones written by the MacRoman-based
// program.
#include "engine/config/configuration.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    CConfiguration read;
    CTextBuffer text{FuzzText(data, size)};
    read.ReadText(text);

    // Whatever was read is written so that it reads back equal.
    CTextBuffer written;
    read.WriteText(written);
    CConfiguration reread;
    CTextBuffer copy{written.View()};
    reread.ReadText(copy);
    FUZZ_CHECK(reread == read);

    CTextBuffer summary;
    read.MakeSummary(summary);
    return 0;
}
