// While one lives, the print dialog answers with a PDF printer writing one
// file (or is cancelled); the pages are read back as text.
#pragma once

#include <string>
#include <vector>

class CPrintToPdf {
public:
    CPrintToPdf(std::string path, bool cancelled);
    ~CPrintToPdf();
    CPrintToPdf(const CPrintToPdf&) = delete;
    CPrintToPdf& operator=(const CPrintToPdf&) = delete;

    // One text per printed page; none when nothing was printed.
    std::vector<std::string> Pages() const;
    // The pages' texts one after the other.
    std::string AllText() const;

private:
    std::string mPath;
};
