#include "OutputText.h"

#include <cstdio>

namespace quorvane::cli {

namespace {

// The length of the UTF-8 character at text[at]; 0 when no valid character starts there (a stray or
// overlong sequence, a surrogate, a code point past U+10FFFF, or one cut off by the end of the text).
size_t Utf8Length(std::string_view text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 0;
    return length;
}

// True when the bytes from `at` to the end of the text are the start of a UTF-8 character cut off there,
// and the text reads as UTF-8: a cut character holds a byte after its lead byte, or the text holds other
// UTF-8 characters. A lone byte at the end of a text without any ("Caf\xe9") is Latin-1.
bool CutOffAtEnd(std::string_view text, size_t at, bool textIsUtf8) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || at + length <= text.size() || (at + 1 == text.size() && !textIsUtf8))
        return false;
    for (size_t i = at + 1; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return false;
    return true;
}

std::string Escaped(unsigned char byte) {
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
    return escaped;
}

} // namespace

std::string TerminalText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const size_t length = Utf8Length(text, at);
        const bool c1 = length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0;
        if (byte < 0x20 || byte == 0x7F || c1 || (length == 0 && byte < 0xA0)) {
            for (size_t i = 0; i < (c1 ? 2u : 1u); ++i)
                out += Escaped(static_cast<unsigned char>(text[at + i]));
            at += c1 ? 2 : 1;
            continue;
        }
        const size_t take = length == 0 ? 1 : length;
        out.append(text.substr(at, take));
        at += take;
    }
    return out;
}

std::string Utf8Text(std::string_view text) {
    bool textIsUtf8 = false;
    for (size_t at = 0; at < text.size() && !textIsUtf8; ++at)
        textIsUtf8 = Utf8Length(text, at) > 1;
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const size_t length = Utf8Length(text, at);
        if (length != 0) {
            out.append(text.substr(at, length));
            at += length;
        } else if (CutOffAtEnd(text, at, textIsUtf8)) {
            out += "\xEF\xBF\xBD";
            break;
        } else {
            const auto byte = static_cast<unsigned char>(text[at++]);
            out += static_cast<char>(0xC0 | byte >> 6);
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

std::string JsonDump(const nlohmann::ordered_json& value, int indent) {
    return value.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

} // namespace quorvane::cli
