// Layout strings: the one notation that renders every report, reject,
// picture-list and most console lines, and reads the fixed-column input lines.
//
// A layout such as "(a25,2x,12(i5,1x),2x,i5)" is parsed once into an immutable
// `Layout` (cached by its text) and applied to an ordered list of values.
// A literal layout handed to `Writer::write` with its values is also parsed
// at compile time: a malformed layout, or a value of the wrong type for its
// field, fails to build.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "layout/layout_parse.hpp"

namespace mv {

// One value handed to a layout: a character string, a 4-byte integer, or a
// 4-byte / 8-byte real. Character values only borrow their text: the text
// must outlive the write call.
class Value {
 public:
  enum class Kind : std::uint8_t { Str, Int, Real4, Real8 };

  Value(const char* s) : kind_(Kind::Str), s_(s) {}
  Value(std::string_view s) : kind_(Kind::Str), s_(s) {}
  Value(const std::string& s) : kind_(Kind::Str), s_(s) {}
  Value(std::int32_t i) : kind_(Kind::Int), i_(i) {}
  Value(float f) : kind_(Kind::Real4), f_(f) {}
  Value(double d) : kind_(Kind::Real8), d_(d) {}

  Kind kind() const { return kind_; }
  std::string_view str() const { return s_; }
  std::int32_t integer() const { return i_; }
  float real4() const { return f_; }
  double real8() const { return d_; }
  // The value widened exactly to 8 bytes (reals only).
  double real() const { return kind_ == Kind::Real4 ? static_cast<double>(f_) : d_; }

 private:
  Kind kind_;
  std::string_view s_{};
  std::int32_t i_ = 0;
  float f_ = 0.0f;
  double d_ = 0.0;
};

// Where rendered lines go. The sink adds the line ending it needs.
class LineSink {
 public:
  virtual ~LineSink() = default;
  virtual void line(std::string_view text) = 0;
};

// Lines kept in memory (tests, fixed-length strings).
class VectorSink final : public LineSink {
 public:
  void line(std::string_view text) override { lines.emplace_back(text); }
  std::vector<std::string> lines;
};

class Layout {
 public:
  // Parses a layout string; throws std::logic_error when it is malformed.
  explicit Layout(std::string_view text);

  // The parsed layout for a fixed text, parsed on first use and kept.
  static const Layout& of(std::string_view text);

  const std::vector<LayoutItem>& items() const { return items_; }
  // Index of the top-level item where output resumes when values remain at
  // the closing parenthesis: the last top-level group, or 0.
  std::size_t reversion() const { return reversion_; }
  // Whether any A, I or F item can take a value (groups repeated 0 times
  // hold none); without one, the values never reach the layout.
  bool hasDataItems() const { return hasData_; }
  const std::string& text() const { return text_; }
  // The items of one pass with every group written out as often as it is
  // repeated (no groups left), and how many of them take a value: a list
  // of at most that many values is rendered by one walk down this list.
  // Empty for a layout whose pass would be very long.
  const std::vector<LayoutItem>& onePass() const { return onePass_; }
  std::size_t onePassValues() const { return onePassValues_; }

 private:
  std::string text_;
  std::vector<LayoutItem> items_;
  std::size_t reversion_ = 0;
  bool hasData_ = false;
  std::vector<LayoutItem> onePass_;
  std::size_t onePassValues_ = 0;
};

// Applies a layout to values, sending each finished line to the sink.
void render(const Layout& layout, std::span<const Value> values, LineSink& sink);

// Free-form (list-directed) output of values onto lines of the sink.
void renderFree(std::span<const Value> values, LineSink& sink);

// Renders into a fixed-length string: the first line produced, cut or
// blank-filled to `length` characters.
std::string renderToString(const Layout& layout, std::span<const Value> values, std::size_t length);

// Field renderers, exposed for the few hand-tuned hot paths and for tests.
void appendInt(std::string& out, std::int32_t value, int width);
// The two digits of 00 to 99.
inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// An iW field written over `width` blanks at `out` (inline: the picture
// list writes twelve per line).
inline void putInt(char* out, std::int32_t value, int width) {
  // Digits from the right end of the field, two at a time, then the sign;
  // the blanks before them are there already. Asterisks when they do not fit.
  char* p = out + width;
  std::uint32_t mag = value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  while (mag >= 100) {
    if (p - out < 2) {
      std::memset(out, '*', static_cast<std::size_t>(width));
      return;
    }
    p -= 2;
    std::memcpy(p, kDigitPairs + 2 * (mag % 100), 2);
    mag /= 100;
  }
  if (p - out < (mag >= 10 ? 2 : 1) + (value < 0 ? 1 : 0)) {
    std::memset(out, '*', static_cast<std::size_t>(width));
    return;
  }
  if (mag >= 10) {
    p -= 2;
    std::memcpy(p, kDigitPairs + 2 * mag, 2);
  } else {
    *--p = static_cast<char>('0' + mag);
  }
  if (value < 0) *--p = '-';
}

void appendFixed(std::string& out, double value, int width, int decimals);
// An fW.D field written over `width` blanks at `out`.
void putFixed(char* out, double value, int width, int decimals);
std::string freeReal4(float value);
std::string freeReal8(double value);

// ---- Layouts checked at compile time ----------------------------------------

namespace detail {

// What a value offers to a field: text for aW, an integer for iW, a real for
// fW.D; `Any` for a `Value` passed on as it is (its kind is known only at run
// time, where the renderer checks it).
enum class ArgKind : std::uint8_t { Str, Int, Real, Any };

template <ArgKind K>
using ArgKindTag = std::integral_constant<ArgKind, K>;
// One overload for each constructor of `Value`, so that an argument type gets
// the kind `Value(argument)` would give it.
ArgKindTag<ArgKind::Str> argKindOf(const char*);
ArgKindTag<ArgKind::Str> argKindOf(std::string_view);
ArgKindTag<ArgKind::Str> argKindOf(const std::string&);
ArgKindTag<ArgKind::Int> argKindOf(std::int32_t);
ArgKindTag<ArgKind::Real> argKindOf(float);
ArgKindTag<ArgKind::Real> argKindOf(double);
ArgKindTag<ArgKind::Any> argKindOf(const Value&);

template <class T>
inline constexpr ArgKind argKind = decltype(argKindOf(std::declval<const T&>()))::value;

// The renderer's walk over the values' kinds alone.
class ArgKindCheck {
 public:
  constexpr ArgKindCheck(std::string_view text, std::span<const ArgKind> kinds) : text_(text), kinds_(kinds) {}
  constexpr void space(const LayoutItem&) const {}
  constexpr void slash() const {}
  constexpr void resume() const {}
  constexpr void value(const LayoutItem& it, std::size_t index) const {
    const ArgKind kind = kinds_[index];
    const bool fits = kind == ArgKind::Any || (it.kind == LayoutItem::Kind::A && kind == ArgKind::Str) ||
                      (it.kind == LayoutItem::Kind::I && kind == ArgKind::Int) ||
                      (it.kind == LayoutItem::Kind::F && kind == ArgKind::Real);
    if (!fits) valueDoesNotMatchItsField(text_, index + 1);
  }

 private:
  std::string_view text_;
  std::span<const ArgKind> kinds_;
};

// Parses `text` and walks it over values of the given kinds as the renderer
// would; a fault calls one of the throwing functions of layout_parse.hpp.
constexpr void checkLayout(std::string_view text, std::span<const ArgKind> kinds) {
  const ParsedLayout parsed = parseLayout(text);
  ArgKindCheck check(text, kinds);
  walkLayout(text, parsed.items, parsed.reversion, parsed.hasData, kinds.size(), check);
}

}  // namespace detail

// A layout string checked against the types of the values it will render,
// as fmt checks its format strings. It is made implicitly from a constant
// string (a literal, a constexpr string_view) by a consteval constructor, so
// `report.write("(a25,2x,i6)", name, count)` parses the layout at compile
// time and fails to build when it is malformed or when a value does not suit
// its field (text for aW, std::int32_t for iW, float or double for fW.D).
// Layouts made at run time, and value lists whose length is known only at
// run time, go through `Writer::writeValues`, checked by the renderer.
template <class... A>
class CheckedLayout {
 public:
  template <class S>
  requires std::is_convertible_v<const S&, std::string_view>
  consteval CheckedLayout(const S& text) : text_(text) {
    const std::array<detail::ArgKind, sizeof...(A)> kinds{detail::argKind<A>...};
    detail::checkLayout(text_, kinds);
  }
  constexpr std::string_view text() const { return text_; }

 private:
  std::string_view text_;
};

// The layout parameter of a function taking values `A...`; the types are
// taken from the values, never from the layout argument:
//   template <class... A> void f(LayoutString<A...> layout, const A&... values);
template <class... A>
using LayoutString = CheckedLayout<std::type_identity_t<A>...>;

// Front end used by every section: `report.write("(a25,2x,i6)", name, n);`.
class Writer {
 public:
  explicit Writer(LineSink& sink) : sink_(&sink) {}

  // The layout is checked against the values at compile time; the parse
  // used for rendering is the cached one of its text.
  template <class... A>
  void write(LayoutString<A...> layout, const A&... args) {
    const Value values[] = {Value(args)..., Value(0)};
    render(Layout::of(layout.text()), std::span<const Value>(values, sizeof...(A)), *sink_);
  }
  void writeValues(std::string_view layout, std::span<const Value> values) {
    render(Layout::of(layout), values, *sink_);
  }
  void writeValues(const Layout& layout, std::span<const Value> values) { render(layout, values, *sink_); }
  // Free-form write; with no values, one empty line.
  template <class... A>
  void free(const A&... args) {
    const Value values[] = {Value(args)..., Value(0)};
    renderFree(std::span<const Value>(values, sizeof...(A)), *sink_);
  }
  void freeValues(std::span<const Value> values) { renderFree(values, *sink_); }
  void blank() { renderFree({}, *sink_); }
  LineSink& sink() { return *sink_; }

 private:
  LineSink* sink_;
};

// ---- Reading ------------------------------------------------------------

// One field taken from a fixed-column line.
struct ReadField {
  bool isInt = false;
  std::string_view text;   // aW: the W characters (blank-padded on demand by fitString)
  std::int32_t value = 0;  // iW
  bool ok = true;          // iW: false when the field is not blanks, a sign and digits
};

// Reads one line with a layout: returns one field per data item, in order.
// A line shorter than the items reads as if padded with blanks.
std::vector<ReadField> readFixed(const Layout& layout, std::string_view line);

// The W characters of an `aW` field stored into a string of length L.
std::string fitString(std::string_view field, int width, std::size_t length);

// Parses an `iW` field: blanks ignored, optional sign, digits. Empty reads 0.
bool parseIntField(std::string_view field, std::int32_t& value);

// parseIntField on the columns of parseIntColumns, for the unusual fields.
bool parseIntColumnsAnyhow(std::string_view line, std::size_t from, std::size_t width, std::int32_t& value);

// parseIntField on the `width` columns of a line starting at index `from`
// (cut where the line ends), for the per-line hot paths: the usual field,
// blanks followed by digits within a line long enough, is read on the spot.
[[gnu::always_inline]] inline bool parseIntColumns(std::string_view line, std::size_t from, std::size_t width,
                                                   std::int32_t& value) {
  if (width <= 9 && from + width <= line.size()) {  // nine digits cannot overflow
    const char* p = line.data() + from;
    std::size_t k = 0;
    while (k < width && p[k] == ' ') ++k;
    std::int32_t v = 0;
    for (; k < width; ++k) {
      const auto digit = static_cast<unsigned char>(p[k] - '0');
      if (digit > 9) break;
      v = v * 10 + digit;
    }
    if (k == width) {
      value = v;
      return true;
    }
  }
  return parseIntColumnsAnyhow(line, from, width, value);
}

// Pads or cuts to `length` characters.
std::string padded(std::string_view text, std::size_t length);

// Source of lines for the free-form reader (a file or the console).
class LineSource {
 public:
  virtual ~LineSource() = default;
  // Next line without its line ending; nullopt at end of input.
  virtual std::optional<std::string> next() = 0;
  // Number of lines handed out so far.
  long lineNumber() const { return line_; }

 protected:
  long line_ = 0;
};

// Free-form input of integers: values separated by blanks or a comma; a read
// continues on following lines until it has all its values.
class FreeReader {
 public:
  enum class Status { Ok, End, Bad };
  explicit FreeReader(LineSource& source) : source_(&source) {}
  // Reads `count` integers, starting at the beginning of the next line.
  Status readInts(std::size_t count, std::vector<std::int32_t>& out);
  // A read with no values: consumes one line. False at end of input.
  bool skipLine();
  // The offending token of the last Bad read.
  const std::string& badToken() const { return bad_; }
  // The text of the line right after the last value of the last Ok read.
  const std::string& afterLast() const { return after_; }

 private:
  LineSource* source_;
  std::string bad_;
  std::string after_;
};

}  // namespace mv
