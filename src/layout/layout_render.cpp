// Layout strings: rendering values onto lines, with a layout and free-form.
#include "layout/layout.hpp"

#include <algorithm>
#include <cstring>
#include <string>

namespace mv {

namespace {

// Lines are built in a buffer that holds blanks beyond the line, so that
// gaps and the blank part of a field cost nothing; the buffer is blanked
// again behind each line.
struct Renderer {
  std::span<const Value> values;
  LineSink& sink;
  std::string& buf;  // the line is buf[0, len); every character after it is blank
  const Layout& layout;
  std::size_t len = 0;
  std::size_t pos = 0;

  Renderer(std::span<const Value> v, LineSink& s, std::string& b, const Layout& l)
      : values(v), sink(s), buf(b), layout(l) {}
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;
  ~Renderer() {  // also after a failed render
    if (len != 0) std::memset(buf.data(), ' ', len);
  }

  void endLine() {
    sink.line(std::string_view(buf.data(), len));
    std::memset(buf.data(), ' ', len);
    len = 0;
    pos = 0;
  }

  // The `width` characters of the field at the current column.
  char* field(std::size_t width) {
    const std::size_t need = pos + width;
    if (need > buf.size()) buf.resize(std::max(need, 2 * buf.size()), ' ');
    return buf.data() + pos;
  }

  // The steps of detail::walkLayout: the data item `it` takes values[index].
  void value(const LayoutItem& it, std::size_t index) {
    const Value& v = values[index];
    std::size_t w = static_cast<std::size_t>(it.width);
    switch (it.kind) {
      case LayoutItem::Kind::A: {
        if (v.kind() != Value::Kind::Str) mismatch(index);
        const std::string_view s = v.str();
        if (it.width == 0) w = s.size();
        char* out = field(w);
        // Cut to the field, or right-justified on the blanks already there.
        if (s.size() >= w) {
          if (w != 0) std::memcpy(out, s.data(), w);
        } else if (!s.empty()) {
          std::memcpy(out + (w - s.size()), s.data(), s.size());
        }
        break;
      }
      case LayoutItem::Kind::I:
        if (v.kind() != Value::Kind::Int) mismatch(index);
        putInt(field(w), v.integer(), it.width);
        break;
      case LayoutItem::Kind::F:
        if (v.kind() != Value::Kind::Real4 && v.kind() != Value::Kind::Real8) mismatch(index);
        putFixed(field(w), v.real(), it.width, it.decimals);
        break;
      default:
        return;
    }
    pos += w;
    len = pos;
  }

  void space(const LayoutItem& it) { pos += static_cast<std::size_t>(it.width); }
  void slash() { endLine(); }
  void resume() { endLine(); }

  [[noreturn]] void mismatch(std::size_t index) const { detail::valueDoesNotMatchItsField(layout.text(), index + 1); }
};

}  // namespace

void render(const Layout& layout, std::span<const Value> values, LineSink& sink) {
  // The line buffer is kept from call to call, one per thread, so that a
  // line costs no allocation; a render started from within a sink (none
  // does so today) uses its own.
  static thread_local std::string kept;
  static thread_local bool keptInUse = false;
  std::string own;
  const bool useKept = !keptInUse;
  std::string& buf = useKept ? kept : own;
  if (buf.size() < 256) buf.assign(256, ' ');
  if (useKept) keptInUse = true;
  struct Release {
    bool active;
    ~Release() {
      if (active) keptInUse = false;
    }
  } release{useKept};

  Renderer r(values, sink, buf, layout);
  if (values.size() <= layout.onePassValues() && !layout.onePass().empty()) {
    // No value is left at the end of the pass, so it is never resumed: the
    // walk down the written-out items is the walk of the layout.
    std::size_t next = 0;
    for (const LayoutItem& it : layout.onePass()) {
      switch (it.kind) {
        case LayoutItem::Kind::X:
          r.space(it);
          break;
        case LayoutItem::Kind::Slash:
          r.slash();
          break;
        default:
          if (next >= values.size()) {
            r.endLine();
            return;
          }
          r.value(it, next++);
          break;
      }
    }
  } else {
    detail::walkLayout(layout.text(), layout.items(), layout.reversion(), layout.hasDataItems(), values.size(), r);
  }
  r.endLine();
}

std::string renderToString(const Layout& layout, std::span<const Value> values, std::size_t length) {
  VectorSink sink;
  render(layout, values, sink);
  std::string first = sink.lines.empty() ? std::string() : sink.lines.front();
  return padded(first, length);
}

void renderFree(std::span<const Value> values, LineSink& sink) {
  if (values.empty()) {
    sink.line("");
    return;
  }
  constexpr std::size_t kLimit = 80;
  std::string line(1, ' ');
  bool holds = false;
  bool prevStr = false;
  for (const Value& v : values) {
    std::string piece;
    const bool isStr = v.kind() == Value::Kind::Str;
    switch (v.kind()) {
      case Value::Kind::Str:
        piece.assign(v.str());
        break;
      case Value::Kind::Int:
        appendInt(piece, v.integer(), 12);
        break;
      case Value::Kind::Real4:
        piece = freeReal4(v.real4());
        break;
      case Value::Kind::Real8:
        piece = freeReal8(v.real8());
        break;
    }
    if (holds && !(isStr && prevStr)) {
      if (line.size() + 1 >= kLimit) {
        sink.line(line);
        line.assign(1, ' ');
        holds = false;
      } else {
        line.push_back(' ');
      }
    }
    if (holds && line.size() + piece.size() >= kLimit) {
      sink.line(line);
      line.assign(1, ' ');
    }
    line += piece;
    holds = true;
    prevStr = isStr;
  }
  sink.line(line);
}

}  // namespace mv
