// Texts from banks, discs and folders on their way out of the program. They may hold any bytes a file put
// there: escape sequences that would retitle the terminal or clear it, line breaks that would forge a table
// row, bytes that are no UTF-8. The terminal gets them with control characters escaped, JSON gets valid
// UTF-8 (JSON's own escapes take care of its control characters).
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace quorvane::cli {

// The text with every control character written as "\xNN": C0 controls, DEL, and C1 controls (U+0080 to
// U+009F in UTF-8, or as single bytes that are no part of a UTF-8 character).
std::string TerminalText(std::string_view text);

// The text as valid UTF-8: UTF-8 characters stay as they are; a character cut off at the end of a text that
// reads as UTF-8 becomes U+FFFD; any other byte is taken as Latin-1, as older banks write their names.
std::string Utf8Text(std::string_view text);

// The JSON text of a value with `indent` spaces a level; a text that slipped through without Utf8Text gets
// U+FFFD for its bytes that are no UTF-8 rather than ending the program.
std::string JsonDump(const nlohmann::ordered_json& value, int indent = -1);

} // namespace quorvane::cli
