// Micro-benchmarks of the layout renderer: a typical report row and the
// picture-list record.
#include <benchmark/benchmark.h>

#include "layout/layout.hpp"

namespace {

class NullSink final : public mv::LineSink {
 public:
  void line(std::string_view text) override { benchmark::DoNotOptimize(text.data()); }
};

void BM_ReportRow(benchmark::State& state) {
  NullSink sink;
  mv::Writer w(sink);
  const std::string name = mv::padded("Site 017", 25);
  for (auto _ : state) w.write("(a25,2x,12(i4,3x),1x,i5)", name, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31, 365);
}
BENCHMARK(BM_ReportRow);

void BM_PictureRecord(benchmark::State& state) {
  NullSink sink;
  mv::Writer w(sink);
  const mv::Layout& layout = mv::Layout::of("(2(i3,1x),i4,6(1x,i2),3(1x,i7))");
  for (auto _ : state) {
    const mv::Value v[] = {17, 42, 2014, 7, 12, 3, 15, 0, 2, 925, 22203, 1332195};
    w.writeValues(layout, v);
  }
}
BENCHMARK(BM_PictureRecord);

void BM_FixedPoint(benchmark::State& state) {
  std::string out;
  float x = 0.125f;
  for (auto _ : state) {
    out.clear();
    mv::appendFixed(out, static_cast<double>(x), 8, 3);
    benchmark::DoNotOptimize(out.data());
    x += 0.001f;
  }
}
BENCHMARK(BM_FixedPoint);

}  // namespace
