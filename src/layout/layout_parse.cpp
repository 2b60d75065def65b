// Layout strings: parsing and the parse cache.
#include "layout/layout.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

namespace mv {

namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : t_(text) {}

  std::vector<LayoutItem> parseAll() {
    skipBlanks();
    expect('(');
    auto items = parseList();
    expect(')');
    skipBlanks();
    if (p_ != t_.size()) fail("text after the closing parenthesis");
    return items;
  }

 private:
  [[noreturn]] void fail(const char* what) const {
    throw std::logic_error("layout \"" + std::string(t_) + "\": " + what);
  }
  void skipBlanks() {
    while (p_ < t_.size() && t_[p_] == ' ') ++p_;
  }
  char peek() {
    skipBlanks();
    return p_ < t_.size() ? t_[p_] : '\0';
  }
  void expect(char c) {
    if (peek() != c) fail("unexpected character");
    ++p_;
  }
  bool digit() { return p_ < t_.size() && t_[p_] >= '0' && t_[p_] <= '9'; }
  int number() {
    skipBlanks();
    if (!digit()) fail("number expected");
    int n = 0;
    while (digit()) {
      n = n * 10 + (t_[p_++] - '0');
      if (n > 100000) fail("number too large");
    }
    return n;
  }

  std::vector<LayoutItem> parseList() {
    std::vector<LayoutItem> items;
    bool needSeparator = false;
    for (;;) {
      char c = peek();
      if (c == ')') break;
      if (c == '\0') fail("missing closing parenthesis");
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
        if (!needSeparator) fail("misplaced comma");
        ++p_;
        needSeparator = false;
        continue;
      }
      if (needSeparator) fail("comma expected");
      items.push_back(parseItem());
      needSeparator = true;
    }
    return items;
  }

  LayoutItem parseItem() {
    LayoutItem it;
    int count = -1;
    if (digit()) count = number();
    char c = peek();
    if (c == '(') {
      ++p_;
      it.kind = LayoutItem::Kind::Group;
      it.repeat = count < 0 ? 1 : count;
      // The program's layouts nest groups two deep; a little room beyond.
      if (++depth_ > 8) fail("groups nested too deeply");
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
        if (count >= 0) fail("repeat count before a descriptor");
        it.kind = LayoutItem::Kind::A;
        it.width = digit() ? number() : 0;
        return it;
      case 'i':
      case 'I':
        if (count >= 0) fail("repeat count before a descriptor");
        it.kind = LayoutItem::Kind::I;
        it.width = number();
        if (it.width < 1) fail("zero width");
        return it;
      case 'f':
      case 'F':
        if (count >= 0) fail("repeat count before a descriptor");
        it.kind = LayoutItem::Kind::F;
        it.width = number();
        if (peek() != '.') fail("f field needs decimals");
        ++p_;
        it.decimals = number();
        if (it.width < 1) fail("zero width");
        return it;
      default:
        fail("unknown edit descriptor");
    }
  }

  std::string_view t_;
  std::size_t p_ = 0;
  int depth_ = 0;
};

bool hasDataItem(const std::vector<LayoutItem>& items) {
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

}  // namespace

namespace {

// Items one pass of a list expands to, saturating at `limit`.
std::size_t expandedSize(const std::vector<LayoutItem>& items, std::size_t limit) {
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

}  // namespace

Layout::Layout(std::string_view text) : text_(text) {
  items_ = Parser(text).parseAll();
  // The program's own layouts expand to a few hundred items per pass.
  constexpr std::size_t kMaxExpanded = 100000;
  if (expandedSize(items_, kMaxExpanded) >= kMaxExpanded)
    throw std::logic_error("layout \"" + text_ + "\": repeat counts too large");
  for (std::size_t k = 0; k < items_.size(); ++k)
    if (items_[k].kind == LayoutItem::Kind::Group) reversion_ = k;
  hasData_ = hasDataItem(items_);
}

const Layout& Layout::of(std::string_view text) {
  // One parse per distinct text; the program is single-threaded.
  static std::unordered_map<std::string_view, std::unique_ptr<Layout>> cache;
  // Nearly every call passes a literal met before: a small table keyed by
  // the text's address answers those without hashing the text. The text is
  // still compared, since a buffer may hold another layout at a later call.
  struct Recent {
    const char* data = nullptr;
    std::size_t size = 0;
    const Layout* layout = nullptr;
  };
  static std::array<Recent, 512> recent;
  const auto address = reinterpret_cast<std::uintptr_t>(text.data());
  Recent& slot = recent[static_cast<std::size_t>(((address ^ text.size()) * 0x9E3779B97F4A7C15ull) >> 55)];
  if (slot.data == text.data() && slot.size == text.size() &&
      std::memcmp(slot.layout->text().data(), text.data(), text.size()) == 0)
    return *slot.layout;

  const Layout* found;
  if (auto it = cache.find(text); it != cache.end()) {
    found = it->second.get();
  } else {
    auto layout = std::make_unique<Layout>(text);
    found = layout.get();
    cache.emplace(std::string_view(layout->text()), std::move(layout));
  }
  slot = Recent{text.data(), text.size(), found};
  return *found;
}

}  // namespace mv
