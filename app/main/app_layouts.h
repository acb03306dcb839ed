// The application's own layouts: the about box and the quit question.
#pragma once

#include "app/framework/layout.h"

inline constexpr int kAboutBoxLayout = 1000;
inline constexpr int kConfirmQuitLayout = 139;
inline constexpr ClassIDT kClassAboutBox = MakeFourCharCode("Abot");

inline constexpr PaneIDT kAboutIconPane = MakeFourCharCode("ICON");
inline constexpr PaneIDT kAboutNamePane = MakeFourCharCode("NAME");
inline constexpr PaneIDT kAboutVersionPane = MakeFourCharCode("VERS");
inline constexpr PaneIDT kAboutNoticePane = MakeFourCharCode("NOTE");
// The maker's mail and web addresses, as link buttons.
inline constexpr PaneIDT kAboutMailPane = 1;
inline constexpr PaneIDT kAboutWebPane = 2;
inline constexpr MessageT kMsgAboutMail = MakeFourCharCode("Mail");
inline constexpr MessageT kMsgAboutWeb = MakeFourCharCode("WWW ");
// The notice caption's text in the layout, replaced by the notice.
inline constexpr const char* kNoticePlaceholder = "^notice";

const SLayout& AboutBoxLayout();
const SLayout& ConfirmQuitLayout();
