// Layout strings: the iW and fW.D fields and free-form reals.
#include "layout/layout.hpp"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace mv {

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
      if (k < 0)
        digits.insert(digits.begin(), '1');
      else
        ++digits[static_cast<std::size_t>(k)];
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

}  // namespace mv
