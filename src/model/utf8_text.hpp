// Text for the outputs that promise UTF-8 (the tables package and the HTML
// page). The input files are read as bytes and the report copies them as
// they are, in fixed byte columns; a name of 25 bytes (a title of 75) may so
// end inside a character, and a file written in another encoding holds bytes
// that are no UTF-8 at all. These routines make valid UTF-8 of both.
#pragma once

#include <string>
#include <string_view>

namespace mv {

// The Unicode replacement character, U+FFFD, in UTF-8.
inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// Whether `text` is well-formed UTF-8 throughout (no overlong forms, no
// surrogates, nothing beyond U+10FFFF).
bool isUtf8(std::string_view text);

// `text` as UTF-8: each maximal piece that does not form a character (a
// stray byte, or the start of a character cut short) becomes U+FFFD.
// `replaced`, when given, is set to whether anything was replaced.
std::string utf8Text(std::string_view text, bool* replaced = nullptr);

// A fixed-width field (a blank-padded name or title) as UTF-8 without its
// padding blanks: a character that the field's last byte cuts short is left
// out, as the field was cut at its width; anything else that is not UTF-8
// becomes U+FFFD, with `replaced` set.
std::string utf8Field(std::string_view field, bool* replaced = nullptr);

}  // namespace mv
