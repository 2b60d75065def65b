#include "model/utf8_text.hpp"

#include "model/labels.hpp"

#include <cstddef>

namespace mv {

namespace {

// What starts at one byte of a text: a whole character of `length` bytes, a
// piece of `length` bytes that cannot be completed (the largest part of a
// character that is well-formed so far, or a byte that starts none), or the
// start of a character that the end of the text cuts short.
enum class Piece { kCharacter, kInvalid, kCutShort };

struct Step {
  Piece piece;
  std::size_t length;
};

// The ranges of well-formed UTF-8: the lead byte gives the length, and the
// second byte has a narrower range after E0, ED, F0 and F4 (which rules out
// overlong forms, surrogates and code points above U+10FFFF).
Step step(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return {Piece::kCharacter, 1};
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {Piece::kInvalid, 1};
  }
  for (std::size_t k = 1; k < length; ++k) {
    if (at + k >= text.size()) return {Piece::kCutShort, k};
    const auto c = static_cast<unsigned char>(text[at + k]);
    const bool fits = k == 1 ? c >= low && c <= high : c >= 0x80 && c <= 0xBF;
    if (!fits) return {Piece::kInvalid, k};
  }
  return {Piece::kCharacter, length};
}

bool ascii(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Appends `text` as UTF-8; a character cut short by the end of the text is
// left out when `dropCutEnd`, else replaced. True when anything was replaced.
bool append(std::string& out, std::string_view text, bool dropCutEnd) {
  bool replaced = false;
  std::size_t at = 0;
  while (at < text.size()) {
    const Step s = step(text, at);
    if (s.piece == Piece::kCharacter) {
      out.append(text.substr(at, s.length));
    } else if (s.piece == Piece::kCutShort && dropCutEnd) {
      break;
    } else {
      out.append(kReplacementCharacter);
      replaced = true;
    }
    at += s.length;
  }
  return replaced;
}

}  // namespace

bool isUtf8(std::string_view text) {
  if (ascii(text)) return true;
  for (std::size_t at = 0; at < text.size();) {
    const Step s = step(text, at);
    if (s.piece != Piece::kCharacter) return false;
    at += s.length;
  }
  return true;
}

std::string utf8Text(std::string_view text, bool* replaced) {
  std::string out;
  bool any = false;
  if (isUtf8(text)) {
    out.assign(text);
  } else {
    out.reserve(text.size() + 8);
    any = append(out, text, false);
  }
  if (replaced != nullptr) *replaced = any;
  return out;
}

std::string utf8Field(std::string_view field, bool* replaced) {
  std::string out;
  bool any = false;
  if (ascii(field)) {
    out.assign(trimmedName(field));
  } else {
    // The cut character goes first: blanks before it are padding too.
    std::string whole;
    whole.reserve(field.size() + 8);
    any = append(whole, field, true);
    out.assign(trimmedName(whole));
  }
  if (replaced != nullptr) *replaced = any;
  return out;
}

}  // namespace mv
