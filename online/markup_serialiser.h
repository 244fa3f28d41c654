// Writes an HTML page back the way the old embedded browser gave out its root element: tag
// names in upper case, simple attribute values without quotes, nothing outside <HTML>.
// The online-count markers are cut from exactly this form.
#pragma once

#include <string>

namespace zv {

// Pure function over bytes (GBK text is passed through untouched). Never fails: whatever is
// not markup is kept as text, and open root elements are closed.
std::string SerialiseRootElement(const std::string& html);

}  // namespace zv
