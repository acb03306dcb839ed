// The three filter panels (tabs 3 to 5): each shows one filter set of the
// working copy at a time, chosen with its popup 'fTYP'; switching saves the
// shown set first.
#pragma once

#include <cstdint>
#include <string>

#include "app/windows/configurations/configuration_panel.h"

// The negative and positive panels: eight word lists each.
class CStringFiltersPanel : public CEditConfigurationPanel {
public:
    void FinishCreateSelf() override;
    void ListenToMessage(MessageT message, void* ioParam) override;

    using ListMember = FilterStringList CFilterSet::*;

protected:
    CStringFiltersPanel(CConfigurationPanelHost& window, CPane& view, const ListMember (&lists)[8]);

private:
    void ShowSet(int set);
    int mSet = 1;
};

class CNegativeFiltersPanel : public CStringFiltersPanel {
public:
    CNegativeFiltersPanel(CConfigurationPanelHost& window, CPane& view);
};

class CPositiveFiltersPanel : public CStringFiltersPanel {
public:
    CPositiveFiltersPanel(CConfigurationPanelHost& window, CPane& view);
};

// Sizes, dates, content, file types and the script, of the crawl or save set.
class COtherFiltersPanel : public CEditConfigurationPanel {
public:
    COtherFiltersPanel(CConfigurationPanelHost& window, CPane& view);
    void FinishCreateSelf() override;
    void ListenToMessage(MessageT message, void* ioParam) override;

private:
    int mSet = 2;
};

// The filter set of a configuration by number: 1 grab, 2 crawl, 3 save.
CFilterSet& FilterSetNumber(CConfiguration& configuration, int set);
// A size in bytes as thousands ("" when unset), and back (-1 for "").
std::string SizeInThousands(std::int32_t size);
std::int32_t SizeFromThousands(const std::string& text);
// Four-character codes as words, and back (each word's first four bytes).
std::string FileTypeWords(const TPooledList<OSType>& types);
void FileTypesFromWords(const std::string& text, TPooledList<OSType>& types);
