// Layout strings parsed into items, and the order in which the items meet
// the values. Everything here is constexpr: the same parse and the same walk
// serve the renderer at run time and the check of a literal layout against
// its values at compile time (see `LayoutString` in layout.hpp).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace mv {

// One edit descriptor or group of a parsed layout.
struct LayoutItem {
  enum class Kind : std::uint8_t { A, I, F, X, Slash, Group };
  Kind kind = Kind::X;
  int width = 0;                  // aW (0: the value's own length), iW, fW.D, nX
  int decimals = 0;               // fW.D
  int repeat = 1;                 // groups only
  std::vector<LayoutItem> items;  // groups only
};

namespace detail {

// Throw std::logic_error naming the layout. They are not constexpr on
// purpose: reached while a literal layout is checked at compile time, the
// call is what fails the build, and the compiler names the function.
[[noreturn]] void malformedLayout(std::string_view text, const char* what);
// `index` counts the values from 1.
[[noreturn]] void valueDoesNotMatchItsField(std::string_view text, std::size_t index);

class LayoutParser {
 public:
  constexpr explicit LayoutParser(std::string_view text) : t_(text) {}

  constexpr std::vector<LayoutItem> parseAll() {
    skipBlanks();
    expect('(');
    auto items = parseList();
    expect(')');
    skipBlanks();
    if (p_ != t_.size()) malformedLayout(t_, "text after the closing parenthesis");
    return items;
  }

 private:
  constexpr void skipBlanks() {
    while (p_ < t_.size() && t_[p_] == ' ') ++p_;
  }
  constexpr char peek() {
    skipBlanks();
    return p_ < t_.size() ? t_[p_] : '\0';
  }
  constexpr void expect(char c) {
    if (peek() != c) malformedLayout(t_, "unexpected character");
    ++p_;
  }
  constexpr bool digit() const { return p_ < t_.size() && t_[p_] >= '0' && t_[p_] <= '9'; }
  constexpr int number() {
    skipBlanks();
    if (!digit()) malformedLayout(t_, "number expected");
    int n = 0;
    while (digit()) {
      n = n * 10 + (t_[p_++] - '0');
      if (n > 100000) malformedLayout(t_, "number too large");
    }
    return n;
  }

  constexpr std::vector<LayoutItem> parseList() {
    std::vector<LayoutItem> items;
    bool needSeparator = false;
    for (;;) {
      char c = peek();
      if (c == ')') break;
      if (c == '\0') malformedLayout(t_, "missing closing parenthesis");
      if (c == '/') {
        ++p_;
        LayoutItem it;
        it.kind = LayoutItem::Kind::Slash;
        items.push_back(it);
        needSeparator = false;
        if (peek() == ',') ++p_;
        continue;
      }
      if (c == ',') {
        if (!needSeparator) malformedLayout(t_, "misplaced comma");
        ++p_;
        needSeparator = false;
        continue;
      }
      if (needSeparator) malformedLayout(t_, "comma expected");
      items.push_back(parseItem());
      needSeparator = true;
    }
    return items;
  }

  constexpr LayoutItem parseItem() {
    LayoutItem it;
    int count = -1;
    if (digit()) count = number();
    char c = peek();
    if (c == '(') {
      ++p_;
      it.kind = LayoutItem::Kind::Group;
      it.repeat = count < 0 ? 1 : count;
      // The program's layouts nest groups two deep; a little room beyond.
      if (++depth_ > 8) malformedLayout(t_, "groups nested too deeply");
      it.items = parseList();
      --depth_;
      expect(')');
      return it;
    }
    ++p_;
    switch (c) {
      case 'x':
      case 'X':
        it.kind = LayoutItem::Kind::X;
        it.width = count < 0 ? 1 : count;
        return it;
      case 'a':
      case 'A':
        if (count >= 0) malformedLayout(t_, "repeat count before a descriptor");
        it.kind = LayoutItem::Kind::A;
        it.width = digit() ? number() : 0;
        return it;
      case 'i':
      case 'I':
        if (count >= 0) malformedLayout(t_, "repeat count before a descriptor");
        it.kind = LayoutItem::Kind::I;
        it.width = number();
        if (it.width < 1) malformedLayout(t_, "zero width");
        return it;
      case 'f':
      case 'F':
        if (count >= 0) malformedLayout(t_, "repeat count before a descriptor");
        it.kind = LayoutItem::Kind::F;
        it.width = number();
        if (peek() != '.') malformedLayout(t_, "f field needs decimals");
        ++p_;
        it.decimals = number();
        if (it.width < 1) malformedLayout(t_, "zero width");
        return it;
      default:
        malformedLayout(t_, "unknown edit descriptor");
    }
  }

  std::string_view t_;
  std::size_t p_ = 0;
  int depth_ = 0;
};

constexpr bool hasDataItem(const std::vector<LayoutItem>& items) {
  for (const auto& it : items) {
    switch (it.kind) {
      case LayoutItem::Kind::A:
      case LayoutItem::Kind::I:
      case LayoutItem::Kind::F:
        return true;
      case LayoutItem::Kind::Group:
        if (it.repeat > 0 && hasDataItem(it.items)) return true;
        break;
      default:
        break;
    }
  }
  return false;
}

// Items one pass of a list expands to, saturating at `limit`.
constexpr std::size_t expandedSize(const std::vector<LayoutItem>& items, std::size_t limit) {
  std::size_t n = 0;
  for (const auto& it : items) {
    std::size_t add = 1;
    if (it.kind == LayoutItem::Kind::Group) {
      // Each repetition costs a step even when it writes nothing.
      const std::size_t inner = expandedSize(it.items, limit) + 1;
      add = static_cast<std::size_t>(it.repeat) * inner;
      if (it.repeat != 0 && add / static_cast<std::size_t>(it.repeat) != inner) add = limit;
    }
    n = std::min(limit, n + std::min(add, limit));
  }
  return n;
}

// A layout string parsed and checked.
struct ParsedLayout {
  std::vector<LayoutItem> items;
  // Index of the top-level item where output resumes when values remain at
  // the closing parenthesis: the last top-level group, or 0.
  std::size_t reversion = 0;
  // Whether any A, I or F item can take a value (groups repeated 0 times
  // hold none); without one, the values never reach the layout.
  bool hasData = false;
};

constexpr ParsedLayout parseLayout(std::string_view text) {
  ParsedLayout parsed;
  parsed.items = LayoutParser(text).parseAll();
  // The program's own layouts expand to a few hundred items per pass.
  constexpr std::size_t kMaxExpanded = 100000;
  if (expandedSize(parsed.items, kMaxExpanded) >= kMaxExpanded) malformedLayout(text, "repeat counts too large");
  for (std::size_t k = 0; k < parsed.items.size(); ++k)
    if (parsed.items[k].kind == LayoutItem::Kind::Group) parsed.reversion = k;
  parsed.hasData = hasDataItem(parsed.items);
  return parsed;
}

// Runs items [from, end) of one pass: X items and slashes go to the pass as
// they come, each data item takes the next of `count` values. False when a
// data item found no value left.
template <class Pass>
constexpr bool walkItems(const std::vector<LayoutItem>& items, std::size_t from, std::size_t count, std::size_t& next,
                         Pass& pass) {
  for (std::size_t k = from; k < items.size(); ++k) {
    const LayoutItem& it = items[k];
    switch (it.kind) {
      case LayoutItem::Kind::Group:
        for (int r = 0; r < it.repeat; ++r)
          if (!walkItems(it.items, 0, count, next, pass)) return false;
        break;
      case LayoutItem::Kind::X:
        pass.space(it);
        break;
      case LayoutItem::Kind::Slash:
        pass.slash();
        break;
      default:
        if (next >= count) return false;
        pass.value(it, next++);
        break;
    }
  }
  return true;
}

// The whole walk of a layout over `count` values: items left to right, and
// while values remain at the closing parenthesis, a new line
// (pass.resume()) and another pass from the reversion item. The line the
// walk ends on is left to the caller.
template <class Pass>
constexpr void walkLayout(std::string_view text, const std::vector<LayoutItem>& items, std::size_t reversion,
                          bool hasData, std::size_t count, Pass& pass) {
  std::size_t next = 0;
  std::size_t from = 0;
  for (;;) {
    const std::size_t before = next;
    if (!walkItems(items, from, count, next, pass)) break;
    if (next >= count || !hasData) break;
    // A resumed pass that takes no value would never end.
    if (from != 0 && next == before) malformedLayout(text, "values remain but the resumed group takes none");
    pass.resume();
    from = reversion;
  }
}

}  // namespace detail
}  // namespace mv
