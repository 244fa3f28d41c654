// The last step of the main window's opening: the animated wait on 时钟1, then one read of the
// version document, its three values kept in the hidden holders, and the update offer.
#pragma once

#include <functional>
#include <string>

#include "platform/http_reader.h"
#include "ui/form.h"

namespace zv {

constexpr int kVersionCheckTicks = 100;

// Counts the tick in 进度条1 and animates the status label; the hundredth tick stops 时钟1 and
// resets the count. Returns true on that tick, when the check is due.
bool VersionCheckTick(const Form& main);

std::string VersionDocumentUrl();

// A version number as the check compares it: the own and the published version alike.
int VersionNumber(const std::string& text);

// Reads the document and fills the holders; when a higher version is published, runs
// `openUpdateWindow` (modal) first. Ends by showing the MC sound page and returns true, or
// tells the user the document could not be read and returns false: the program must end.
bool RunVersionCheck(const Form& main, IHttpReader& http,
                     const std::function<void()>& openUpdateWindow);

}  // namespace zv
