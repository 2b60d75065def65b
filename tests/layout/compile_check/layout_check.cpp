// Compiled by the LayoutCompileCheck tests, one case at a time: a literal
// layout is checked against its values when the call is compiled.
#include <string>
#include <string_view>

#include "layout/layout.hpp"

namespace {

// A layout passed on by a helper keeps the check of its caller's literal.
template <class... A>
void forward(mv::Writer& w, mv::LayoutString<A...> layout, const A&... values) {
  w.write(layout, values...);
}

}  // namespace

void writeCase(mv::Writer& w, const std::string& name, [[maybe_unused]] std::int32_t count,
               [[maybe_unused]] float share) {
#if defined(CASE_BAD_LAYOUT)
  w.write("(a25,2x,i6", name, count);
#elif defined(CASE_WRONG_TYPE)
  w.write("(a25,2x,i6)", name, share);
#else
  constexpr std::string_view kRow = "(a25,2x,i6,1x,f6.2)";
  w.write(kRow, name, count, share);
  w.write("(a25,2x,2(i4,2(1x,i2),2x),3x,i5)", name, count, 3, 15, count, 6, 20, count);
  // Values left at the closing parenthesis resume at the last group.
  w.write("(i5,2(1x,a3))", count, "abc", "def", "ghi");
  forward(w, "(a4,i3)", name, count);
  w.write("(a4)", mv::Value(name));
#endif
}
