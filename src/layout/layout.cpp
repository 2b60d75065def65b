#include "layout/layout.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

namespace mv {

// ---- Parsing --------------------------------------------------------------

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
  // One parse per distinct text. Not for threads other than the main one:
  // code that renders on other threads parses its layouts itself, once.
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

// ---- Numbers ----------------------------------------------------------------

void appendInt(std::string& out, std::int32_t value, int width) {
  if (width <= 32) {
    char field[32];
    std::memset(field, ' ', sizeof field);
    putInt(field, value, width);
    out.append(field, static_cast<std::size_t>(width));
    return;
  }
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(width), ' ');
  putInt(out.data() + at, value, width);
}

namespace {

constexpr std::uint64_t kPow10[20] = {1ull,
                                      10ull,
                                      100ull,
                                      1000ull,
                                      10000ull,
                                      100000ull,
                                      1000000ull,
                                      10000000ull,
                                      100000000ull,
                                      1000000000ull,
                                      10000000000ull,
                                      100000000000ull,
                                      1000000000000ull,
                                      10000000000000ull,
                                      100000000000000ull,
                                      1000000000000000ull,
                                      10000000000000000ull,
                                      100000000000000000ull,
                                      1000000000000000000ull,
                                      10000000000000000000ull};

// The 16 significant digits "%.15e" shows for a positive finite value, as
// the integer S (10^15 <= S < 10^16) and the decimal exponent e of its first
// digit: S = value * 10^(15 - e) rounded to nearest, ties to even, worked
// out exactly in 128-bit integers. False for the values this cannot reach
// (below 1e-7, from 2^52 up, or subnormal).
#ifdef __SIZEOF_INT128__
__extension__ typedef unsigned __int128 U128;

bool sixteenDigits(double value, std::uint64_t& S, int& e) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  if (biased == 0) return false;
  const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int shift = 1075 - biased;  // value = m / 2^shift
  if (shift <= 0 || shift > 127) return false;
  // value lies in [2^(52 - shift), 2^(53 - shift)): a first guess at e, off
  // by at most one, corrected below.
  e = ((52 - shift) * 78913) >> 18;  // 78913 / 2^18 is just below log10(2)
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int k = 15 - e;
    if (k < 0 || k > 22) return false;  // m * 10^22 < 2^127
    U128 scaled = static_cast<U128>(m) * kPow10[k > 19 ? 19 : k];
    if (k > 19) scaled *= kPow10[k - 19];
    const U128 whole = scaled >> shift;
    if (whole >= kPow10[16]) {
      ++e;
      continue;
    }
    if (whole < kPow10[15]) {
      --e;
      continue;
    }
    const U128 rest = scaled - (whole << shift);
    const U128 half = static_cast<U128>(1) << (shift - 1);
    S = static_cast<std::uint64_t>(whole);
    if (rest > half || (rest == half && (S & 1) != 0)) ++S;
    if (S == kPow10[16]) {  // rounded up to the next power of ten
      S = kPow10[15];
      ++e;
    }
    return true;
  }
  return false;
}
#else
bool sixteenDigits(double, std::uint64_t&, int&) { return false; }  // no 128-bit integers: the general way
#endif

// round(|value| * 10^decimals) as the field shows it: the 16 significant
// digits cut after the wanted decimal and rounded up when the first cut digit
// is 5 or more. False where the general conversion is needed.
bool fixedDigits(double magnitude, int decimals, std::uint64_t& K) {
  if (magnitude == 0.0) {
    K = 0;
    return true;
  }
  std::uint64_t S = 0;
  int e = 0;
  if (decimals > 17 || !sixteenDigits(magnitude, S, e)) return false;
  const int kept = e + 1 + decimals;
  if (kept > 18) return false;
  if (kept < 0) {
    K = 0;
  } else if (kept == 0) {
    K = S / kPow10[15] >= 5 ? 1 : 0;
  } else if (kept < 16) {
    const std::uint64_t withNext = S / kPow10[15 - kept];  // the kept digits and the first cut one
    K = withNext / 10;
    if (withNext % 10 >= 5) ++K;
  } else {
    K = S * kPow10[kept - 16];
  }
  return true;
}

// A text right-justified over a blank field of w characters, or asterisks
// when it does not fit.
void putRight(char* out, std::size_t w, const char* text, std::size_t len) {
  if (len > w) {
    std::memset(out, '*', w);
    return;
  }
  std::memcpy(out + (w - len), text, len);
}

// The field for K / 10^decimals with its sign: right-justified, the leading
// zero of a value below one dropped when exactly one column short,
// asterisks when it does not fit.
void putScaled(char* out, bool negative, std::uint64_t K, int width, int decimals) {
  char text[48];
  char* const end = text + sizeof text;
  char* p = end;
  std::uint64_t rest = K;
  for (int k = 0; k < decimals; ++k) {
    *--p = static_cast<char>('0' + rest % 10);
    rest /= 10;
  }
  *--p = '.';
  const bool belowOne = rest == 0;
  if (belowOne) {
    *--p = '0';
  } else {
    while (rest != 0) {
      *--p = static_cast<char>('0' + rest % 10);
      rest /= 10;
    }
  }
  if (negative && K != 0) *--p = '-';
  auto len = static_cast<std::size_t>(end - p);
  const auto w = static_cast<std::size_t>(width);
  if (len == w + 1 && belowOne) {
    // Exactly one column short: the leading zero gives way.
    char* zero = end - decimals - 2;
    std::memmove(p + 1, p, static_cast<std::size_t>(zero - p));
    ++p;
    --len;
  }
  putRight(out, w, p, len);
}

}  // namespace

void putFixed(char* out, double value, int width, int decimals) {
  const std::size_t w = static_cast<std::size_t>(width);
  if (std::isnan(value)) {
    putRight(out, w, "NaN", 3);
    return;
  }
  if (std::isinf(value)) {
    const char* text = value < 0 ? (width >= 9 ? "-Infinity" : "-Inf") : (width >= 8 ? "Infinity" : "Inf");
    putRight(out, w, text, std::strlen(text));
    return;
  }
  const bool negative = std::signbit(value);
  std::uint64_t scaled = 0;
  if (fixedDigits(std::fabs(value), decimals, scaled)) {
    putScaled(out, negative, scaled, width, decimals);
    return;
  }
  // The magnitude as 16 significant decimal digits d.ddd...e±x, then cut
  // after the wanted decimal and rounded up when the first cut digit is 5+.
  // to_chars with a precision gives exactly what printf's "%.15e" gives,
  // without the cost of printf.
  char sci[40];
  const auto printed = std::to_chars(sci, sci + sizeof sci - 1, std::fabs(value), std::chars_format::scientific, 15);
  *printed.ptr = '\0';
  char mant[16];
  mant[0] = sci[0];
  std::memcpy(mant + 1, sci + 2, 15);
  const int exponent = std::atoi(sci + 18);
  const bool zero = mant[0] == '0';
  // Digits of round(|value| * 10^decimals).
  const long kept = zero ? 0 : static_cast<long>(exponent) + 1 + decimals;
  std::string digits;
  if (kept > 0) {
    if (kept > 400) {  // far beyond any field: certainly asterisks
      std::memset(out, '*', w);
      return;
    }
    for (long k = 0; k < kept; ++k) digits.push_back(k < 16 ? mant[k] : '0');
    if (kept < 16 && mant[kept] >= '5') {
      long k = kept - 1;
      while (k >= 0 && digits[static_cast<std::size_t>(k)] == '9') digits[static_cast<std::size_t>(k--)] = '0';
      if (k < 0) digits.insert(digits.begin(), '1');
      else ++digits[static_cast<std::size_t>(k)];
    }
  } else if (kept == 0 && mant[0] >= '5') {
    digits = "1";
  }
  const std::size_t d = static_cast<std::size_t>(decimals);
  if (digits.size() < d) digits.insert(0, d - digits.size(), '0');
  std::string intPart = digits.substr(0, digits.size() - d);
  const std::string frac = digits.substr(digits.size() - d);
  std::size_t lead = 0;
  while (lead < intPart.size() && intPart[lead] == '0') ++lead;
  intPart.erase(0, lead);
  bool allZero = intPart.empty() && frac.find_first_not_of('0') == std::string::npos;
  std::string text;
  if (negative && !allZero) text.push_back('-');
  const bool belowOne = intPart.empty();
  text += belowOne ? "0" : intPart;
  text.push_back('.');
  text += frac;
  if (text.size() > w && belowOne && text.size() == w + 1) {
    // Exactly one column short: the leading zero gives way.
    text.erase(text.size() - frac.size() - 2, 1);
  }
  putRight(out, w, text.data(), text.size());
}

void appendFixed(std::string& out, double value, int width, int decimals) {
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(width), ' ');
  putFixed(out.data() + at, value, width, decimals);
}

namespace {

// Free-form reals: fixed form with `sig` significant digits when the decimal
// exponent e (value = 0.d1d2... x 10^e) is 0..sig, else exponent form.
std::string freeReal(double value, int sig, int field, int fixedWidth) {
  std::string out;
  if (std::isnan(value) || std::isinf(value)) {
    const char* text = std::isnan(value) ? "NaN" : (value < 0 ? "-Infinity" : "Infinity");
    out.assign(static_cast<std::size_t>(field) - std::strlen(text), ' ');
    out += text;
    return out;
  }
  char buf[64];
  int e = 0;
  if (value != 0.0) {
    std::snprintf(buf, sizeof buf, "%.*e", sig - 1, value);
    const char* ep = std::strchr(buf, 'e');
    e = std::atoi(ep + 1) + 1;
  }
  if (value == 0.0 || (e >= 0 && e <= sig)) {
    std::snprintf(buf, sizeof buf, "%#.*f", sig - e, value);
    std::size_t len = std::strlen(buf);
    if (len < static_cast<std::size_t>(fixedWidth)) out.assign(static_cast<std::size_t>(fixedWidth) - len, ' ');
    out += buf;
    out.append(static_cast<std::size_t>(field - fixedWidth), ' ');
    return out;
  }
  // 0.ddddddE+xx
  std::snprintf(buf, sizeof buf, "%.*e", sig - 1, value);
  std::string s(buf);
  const std::size_t epos = s.find('e');
  const bool neg = s[0] == '-';
  std::string mant = s.substr(neg ? 1 : 0, epos - (neg ? 1 : 0));
  mant.erase(1, 1);  // drop the point: all significant digits
  char tail[16];
  std::snprintf(tail, sizeof tail, "E%+03d", e);
  std::string text = std::string(neg ? "-" : "") + "0." + mant + tail;
  if (text.size() < static_cast<std::size_t>(field)) out.assign(static_cast<std::size_t>(field) - text.size(), ' ');
  out += text;
  return out;
}

}  // namespace

std::string freeReal4(float value) { return freeReal(static_cast<double>(value), 7, 15, 11); }
std::string freeReal8(double value) { return freeReal(value, 16, 25, 20); }

// ---- Rendering ----------------------------------------------------------------

namespace {

// Lines are built in a buffer that holds blanks beyond the line, so that
// gaps and the blank part of a field cost nothing; the buffer is blanked
// again behind each line.
struct Renderer {
  std::span<const Value> values;
  LineSink& sink;
  std::string& buf;      // the line is buf[0, len); every character after it is blank
  const Layout& layout;
  std::size_t len = 0;
  std::size_t pos = 0;
  std::size_t next = 0;

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

  void put(const LayoutItem& it, const Value& v) {
    std::size_t w = static_cast<std::size_t>(it.width);
    switch (it.kind) {
      case LayoutItem::Kind::A: {
        if (v.kind() != Value::Kind::Str) mismatch(it);
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
        if (v.kind() != Value::Kind::Int) mismatch(it);
        putInt(field(w), v.integer(), it.width);
        break;
      case LayoutItem::Kind::F:
        if (v.kind() != Value::Kind::Real4 && v.kind() != Value::Kind::Real8) mismatch(it);
        putFixed(field(w), v.real(), it.width, it.decimals);
        break;
      default:
        return;
    }
    pos += w;
    len = pos;
  }

  [[noreturn]] void mismatch(const LayoutItem&) const {
    throw std::logic_error("layout \"" + layout.text() + "\": value " + std::to_string(next) +
                           " does not match its edit descriptor");
  }

  // Runs items [from, end); false when a data item found no value left.
  bool run(const std::vector<LayoutItem>& items, std::size_t from) {
    for (std::size_t k = from; k < items.size(); ++k) {
      const LayoutItem& it = items[k];
      switch (it.kind) {
        case LayoutItem::Kind::Group:
          for (int r = 0; r < it.repeat; ++r)
            if (!run(it.items, 0)) return false;
          break;
        case LayoutItem::Kind::X:
          pos += static_cast<std::size_t>(it.width);
          break;
        case LayoutItem::Kind::Slash:
          endLine();
          break;
        default:
          if (next >= values.size()) return false;
          put(it, values[next++]);
          break;
      }
    }
    return true;
  }
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
  const bool data = layout.hasDataItems();
  std::size_t from = 0;
  for (;;) {
    const std::size_t before = r.next;
    if (!r.run(layout.items(), from)) break;
    if (r.next >= values.size() || !data) break;
    // A resumed pass that takes no value would never end.
    if (from != 0 && r.next == before)
      throw std::logic_error("layout \"" + layout.text() + "\": values remain but the resumed group takes none");
    // Values remain at the closing parenthesis: new line, resume at the last
    // top-level group with its repeat count.
    r.endLine();
    from = layout.reversion();
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

// ---- Reading -------------------------------------------------------------------

std::string padded(std::string_view text, std::size_t length) {
  std::string s(text.substr(0, std::min(text.size(), length)));
  s.resize(length, ' ');
  return s;
}

std::string fitString(std::string_view field, int width, std::size_t length) {
  const std::size_t w = static_cast<std::size_t>(width);
  std::string full = padded(field, w);
  if (w >= length) return full.substr(w - length);
  full.resize(length, ' ');
  return full;
}

bool parseIntField(std::string_view field, std::int32_t& value) {
  std::int64_t v = 0;
  bool negative = false;
  bool sign = false;
  bool digits = false;
  for (char c : field) {
    if (c == ' ') continue;
    if ((c == '-' || c == '+') && !sign && !digits) {
      sign = true;
      negative = c == '-';
      continue;
    }
    if (c < '0' || c > '9') return false;
    digits = true;
    v = v * 10 + (c - '0');
    if (v > 2147483648LL) return false;
  }
  if (sign && !digits) return false;
  if (negative) v = -v;
  if (v > 2147483647LL || v < -2147483648LL) return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

bool parseIntColumnsAnyhow(std::string_view line, std::size_t from, std::size_t width, std::int32_t& value) {
  return parseIntField(from < line.size() ? line.substr(from, width) : std::string_view(), value);
}

namespace {

void readItems(const std::vector<LayoutItem>& items, std::string_view line, std::size_t& pos,
               std::vector<ReadField>& out) {
  auto take = [&](int width) {
    const std::size_t w = static_cast<std::size_t>(width);
    std::string_view s = pos < line.size() ? line.substr(pos, w) : std::string_view();
    pos += w;
    return s;
  };
  for (const auto& it : items) {
    switch (it.kind) {
      case LayoutItem::Kind::Group:
        for (int r = 0; r < it.repeat; ++r) readItems(it.items, line, pos, out);
        break;
      case LayoutItem::Kind::X:
        pos += static_cast<std::size_t>(it.width);
        break;
      case LayoutItem::Kind::Slash:
        break;
      case LayoutItem::Kind::A: {
        ReadField f;
        f.text = take(it.width);
        out.push_back(f);
        break;
      }
      case LayoutItem::Kind::I:
      case LayoutItem::Kind::F: {
        ReadField f;
        f.isInt = true;
        f.text = take(it.width);
        f.ok = parseIntField(f.text, f.value);
        out.push_back(f);
        break;
      }
    }
  }
}

}  // namespace

std::vector<ReadField> readFixed(const Layout& layout, std::string_view line) {
  std::vector<ReadField> out;
  std::size_t pos = 0;
  readItems(layout.items(), line, pos, out);
  return out;
}

FreeReader::Status FreeReader::readInts(std::size_t count, std::vector<std::int32_t>& out) {
  out.clear();
  while (out.size() < count) {
    auto line = source_->next();
    if (!line) return Status::End;
    std::string_view s(*line);
    std::size_t p = 0;
    while (out.size() < count) {
      while (p < s.size() && (s[p] == ' ' || s[p] == '\t')) ++p;
      if (p < s.size() && s[p] == ',') {
        ++p;
        continue;
      }
      if (p >= s.size()) break;
      std::size_t q = p;
      while (q < s.size() && s[q] != ' ' && s[q] != '\t' && s[q] != ',') ++q;
      std::string_view token = s.substr(p, q - p);
      std::int32_t v = 0;
      if (token.find(' ') != std::string_view::npos || !parseIntField(token, v)) {
        bad_ = std::string(token);
        return Status::Bad;
      }
      out.push_back(v);
      p = q;
      while (p < s.size() && (s[p] == ' ' || s[p] == '\t')) ++p;
      if (p < s.size() && s[p] == ',') ++p;
    }
  }
  return Status::Ok;
}

bool FreeReader::skipLine() { return source_->next().has_value(); }

}  // namespace mv
