// What page processing needs from the crawl that owns the page: its
// configuration, its e-mail table, its stop flag and its status display.
// The crawl driver implements it; tests use a small recording one.
#pragma once

#include <string>

class CConfiguration;

class CPageContext {
public:
    virtual ~CPageContext() = default;
    virtual const CConfiguration& Configuration() const = 0;
    [[nodiscard]] virtual bool IsStopRequested() const = 0;
    // The crawl's current task, for whoever shows the crawl.
    virtual void ShowStatus(const std::string& text) = 0;
    // Records a harvested address with its anchor text (first one wins).
    virtual void AddEmailAddress(const std::string& address, const std::string& anchorText) = 0;
    [[nodiscard]] virtual bool IsMediaMode() const = 0;
    // Lets other cooperative threads run.
    virtual void Yield() = 0;
};
