// The help pages that come with the program and the project's web page, opened in the user's browser.
#pragma once

#include <QString>

namespace quorvane::ui {

inline constexpr const char* kProjectPage = "https://github.com/quorvane/quorvane";

// Pages of the Help menu.
inline constexpr const char* kQuickInfoPage = "info.html";
inline constexpr const char* kHelpPage = "index.html";
inline constexpr const char* kTipsPage = "tips.html";

// The folder of the help pages: "help" beside the program in a build folder, share/quorvane/help of the
// installation otherwise. Empty when neither holds the pages.
QString HelpFolder();

// Open a page of the help folder, or the project's web page, in the user's browser. When the page is
// missing or nothing can open it, a message says where the file or page is; false then.
bool OpenHelpPage(const QString& page);
bool OpenProjectPage();

} // namespace quorvane::ui
