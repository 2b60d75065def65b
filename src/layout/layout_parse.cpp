// Layout strings: parsing and the parse cache.
#include "layout/layout.hpp"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>

namespace mv {

namespace detail {

void malformedLayout(std::string_view text, const char* what) {
  throw std::logic_error("layout \"" + std::string(text) + "\": " + what);
}

void valueDoesNotMatchItsField(std::string_view text, std::size_t index) {
  throw std::logic_error("layout \"" + std::string(text) + "\": value " + std::to_string(index) +
                         " does not match its edit descriptor");
}

}  // namespace detail

namespace {

// Appends the items of one pass with the groups written out; false when
// they would pass `limit` items.
bool writeOut(const std::vector<LayoutItem>& items, std::vector<LayoutItem>& out, std::size_t limit) {
  for (const LayoutItem& it : items) {
    if (it.kind != LayoutItem::Kind::Group) {
      if (out.size() >= limit) return false;
      out.push_back(it);
      continue;
    }
    for (int r = 0; r < it.repeat; ++r)
      if (!writeOut(it.items, out, limit)) return false;
  }
  return true;
}

}  // namespace

Layout::Layout(std::string_view text) : text_(text) {
  detail::ParsedLayout parsed = detail::parseLayout(text);
  items_ = std::move(parsed.items);
  reversion_ = parsed.reversion;
  hasData_ = parsed.hasData;
  constexpr std::size_t kOnePassItems = 4096;
  if (writeOut(items_, onePass_, kOnePassItems)) {
    for (const LayoutItem& it : onePass_)
      if (it.kind == LayoutItem::Kind::A || it.kind == LayoutItem::Kind::I || it.kind == LayoutItem::Kind::F)
        ++onePassValues_;
  } else {
    onePass_.clear();
  }
}

const Layout& Layout::of(std::string_view text) {
  // One parse per distinct text, shared by every thread; a parse is never
  // removed, so a reference to it stays good for the whole run.
  static std::mutex cacheMutex;
  static std::unordered_map<std::string_view, std::unique_ptr<Layout>> cache;
  // Nearly every call passes a literal met before: a small table of each
  // thread, keyed by the text's address, answers those without hashing the
  // text or taking the lock. The text is still compared, since a buffer may
  // hold another layout at a later call.
  struct Recent {
    const char* data = nullptr;
    std::size_t size = 0;
    const Layout* layout = nullptr;
  };
  static thread_local std::array<Recent, 512> recent;
  const auto address = reinterpret_cast<std::uintptr_t>(text.data());
  Recent& slot = recent[static_cast<std::size_t>(((address ^ text.size()) * 0x9E3779B97F4A7C15ull) >> 55)];
  if (slot.data == text.data() && slot.size == text.size() &&
      std::memcmp(slot.layout->text().data(), text.data(), text.size()) == 0)
    return *slot.layout;

  const Layout* found;
  {
    const std::lock_guard lock(cacheMutex);
    if (auto it = cache.find(text); it != cache.end()) {
      found = it->second.get();
    } else {
      auto layout = std::make_unique<Layout>(text);
      found = layout.get();
      cache.emplace(std::string_view(layout->text()), std::move(layout));
    }
  }
  slot = Recent{text.data(), text.size(), found};
  return *found;
}

}  // namespace mv
