// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the graph: a redraw of the full width, 600 columns, each a
// calculation of A on the graph's private copy, then drawn into a picture.
// The target is 30 ms for a redraw; a zoom or a pan of a curve of 1,000
// samples, drawn, within 16 ms (a frame at 60 Hz).
//
//   build/bench/graph_bench
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "graph/graph_model.h"
#include "graph/graph_painter.h"

namespace suusiki::graph {
namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 400;

struct Equation {
  const char32_t* a;
  const char32_t* b;
  const char32_t* c;
  const char32_t* start;
};

// The README's chain with X in it, a formula with functions and powers, and
// Tan over two turns, with its poles to look at closer.
constexpr Equation kEquations[] = {
    {U"B*152/(C/4+85)-X^2", U"C/2.2+67", U"58*3", U"10"},
    {U"X*3.5^6+Sqr(3+6)*Tan(X)+555*C-B", U"C/2.2+67", U"58*3", U"1"},
    {U"Tan(X)", U"", U"", U"1"},
};

void Prepare(MainState& state, GraphModel& model, const Equation& e, int width = kWidth) {
  VariableTable table = EmptyTable();
  table[0] = EntryFor(0, e.a);
  table[1] = EntryFor(1, e.b);
  table[2] = EntryFor(2, e.c);
  state.LoadTable(table);
  model.Resize(width, kHeight);
  model.Read(state, e.start);
}

// Every iteration moves the view by a pixel, so that all 600 columns are
// calculated again, as after a drag.
void BM_GraphSample(benchmark::State& bench) {
  const Equation& e = kEquations[bench.range(0)];
  MainState state;
  GraphModel model;
  Prepare(state, model, e);
  for ([[maybe_unused]] auto _ : bench) {
    model.Drag(1, 0);
    benchmark::DoNotOptimize(model.curve().samples.data());
  }
  bench.SetLabel(ToUtf8(e.a));
}
BENCHMARK(BM_GraphSample)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The same with the drawing: what the window does for a redraw after a move.
void BM_GraphRedraw(benchmark::State& bench) {
  const Equation& e = kEquations[bench.range(0)];
  MainState state;
  GraphModel model;
  Prepare(state, model, e);
  model.RunNewton(e.start);
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  const QFont font;
  for ([[maybe_unused]] auto _ : bench) {
    model.Drag(1, 0);
    QPainter painter(&image);
    PaintGraph(painter, model, font);
  }
  bench.SetLabel(ToUtf8(e.a));
}
BENCHMARK(BM_GraphRedraw)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// A plot 1,000 pixels wide, a sample a column, zoomed in and out about a point
// by turns of the wheel and panned by drags, in turn, each drawn with the
// Newton steps: what the window does for one turn or one move of the mouse.
void BM_GraphZoomPan(benchmark::State& bench) {
  constexpr int kWide = 1000;
  const Equation& e = kEquations[bench.range(0)];
  MainState state;
  GraphModel model;
  Prepare(state, model, e, kWide);
  model.RunNewton(e.start);
  QImage image(kWide, kHeight, QImage::Format_ARGB32_Premultiplied);
  const QFont font;
  int turn = 0;
  for ([[maybe_unused]] auto _ : bench) {
    switch (turn++ % 4) {
      case 0: model.ZoomAt(kWide * 0.3, kHeight * 0.4, 0.8); break;
      case 1: model.Drag(9, -4); break;
      case 2: model.ZoomAt(kWide * 0.3, kHeight * 0.4, 1.25); break;
      default: model.Drag(-9, 4); break;
    }
    QPainter painter(&image);
    PaintGraph(painter, model, font);
  }
  bench.SetLabel(ToUtf8(e.a));
}
BENCHMARK(BM_GraphZoomPan)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace suusiki::graph

int main(int argc, char** argv) {
  // Text is drawn, so fonts are needed; no window is shown.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
