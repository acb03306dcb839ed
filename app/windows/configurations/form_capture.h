// Capturing a form for a configuration: its forms found in a page, the page
// loaded from a URL, and a test submission's answer saved to a file.
#pragma once

#include <string>
#include <string_view>

#include "engine/config/configuration.h"

// Finds the forms of a page (each "<form" ... "</form>", markers in any
// case). The items and the action come from the same form: the last form that
// has named inputs (its <input>, then <select>, then <textarea> tags), else
// the last form. A form without an action leaves `outAction` empty. Returns
// the number of forms.
int ParseForms(std::string_view page, TPooledList<CInputItem>& outItems, std::string& outAction);

// Fetches the page (with "http://" put in front of a URL without a scheme)
// and parses it; the action is resolved against the form URL (the form URL
// itself when the form names none). Returns the number of forms; 0 leaves
// the items and the action as they were.
int LoadAndParseForm(const std::string& formURL, const std::string& userAgent, TPooledList<CInputItem>& outItems,
                     std::string& outAction);

// "http://" in front of a non-empty URL that begins with none of "http://",
// "https://", "ftp://" (any case).
std::string WithScheme(const std::string& url);

// Asks where to save (default "Test Submission.html"), writes the text there
// whole and, when `open`, opens it in its default application. 0 when saved,
// 1 when the user cancelled, else a negative errno value.
int SaveTestSubmission(std::string_view response, bool open);
