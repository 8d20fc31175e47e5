// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the calculate command and of the variable file.
//
//   build/bench/suusiki_bench
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "engine/main_state.h"
#include "solver/newton.h"
#include "storage/variable_file.h"

namespace suusiki {
namespace {

void Calculate(benchmark::State& bench, int current, const char32_t* formula,
               std::initializer_list<std::pair<int, const char32_t*>> definitions) {
  MainState state;
  VariableTable table = EmptyTable();
  for (const auto& [index, definition] : definitions) table[index] = EntryFor(index, definition);
  state.LoadTable(table);
  state.SelectRow(current);
  for ([[maybe_unused]] auto _ : bench) {
    state.TypeInFormulaBox(formula);
    state.Calculate();
    benchmark::DoNotOptimize(state.answerLine().data());
  }
  bench.SetLabel(ToUtf8(state.answerLine()));
}

// C=58*3, B=C/2.2+67, A=B*152/(C/4+85): calculating A expands B and C into it.
void BM_Chain(benchmark::State& bench) { Calculate(bench, 0, U"B*152/(C/4+85)", {{1, U"C/2.2+67"}, {2, U"58*3"}}); }
BENCHMARK(BM_Chain);

void BM_Functions(benchmark::State& bench) {
  Calculate(bench, 0, U"B*3.5^6+Sqr(3+6)*Tan(30)+555*C", {{1, U"C/2.2+67"}, {2, U"58*3"}});
}
BENCHMARK(BM_Functions);

// Close to the 100-character limit, with nested functions.
void BM_LongNested(benchmark::State& bench) {
  Calculate(bench, 0,
            U"Sin(Cos(Tan(Atn(Sqr(Abs(Log(Exp(Int(Fix(2.5)))))))+1)*2)/3)+Sqr(Abs(-16))*Log(Exp(2))-Atn(1)/Pi", {});
}
BENCHMARK(BM_LongNested);

void BM_WriteAndReadVariableFile(benchmark::State& bench) {
  QTemporaryDir dir;
  const QString path = dir.filePath("DATT.0DT");
  VariableTable table = EmptyTable();
  for (int i = 0; i < kVariableCount; i += 2) table[i] = EntryFor(i, U"B*152/(C/4+85)+Sqr(2)*①");
  for ([[maybe_unused]] auto _ : bench) {
    if (!storage::WriteVariableFile(path, table).ok()) bench.SkipWithError("write failed");
    VariableTable read = EmptyTable();
    if (!storage::ReadVariableFile(path, read).ok()) bench.SkipWithError("read failed");
    benchmark::DoNotOptimize(read[0].data());
  }
}
BENCHMARK(BM_WriteAndReadVariableFile)->Unit(benchmark::kMicrosecond);

// A solve of X^2-8*X+12 from 1, with every auto-save written to a real file
// (an atomic replace, flushed to disk, whenever the table changed).
void BM_SolveWithAutoSave(benchmark::State& bench) {
  struct FileSave : AutoSave {
    explicit FileSave(const QString& path) : writer(path) {}
    void Save(const VariableTable& table) override {
      if (!writer.Write(table).ok()) failed = true;
    }
    storage::VariableFileWriter writer;
    bool failed = false;
  };
  struct QuietHost : NewtonHost {
    void Yield() override {}
    void Beep() override {}
    void Warn(TextView) override { warned = true; }
    bool warned = false;
  };
  QTemporaryDir dir;
  FileSave save(dir.filePath("DATT.0DT"));
  QuietHost host;
  MainState state(&save);
  for ([[maybe_unused]] auto _ : bench) {
    state.LoadTable(EmptyTable());
    state.TypeInFormulaBox(U"X^2-8*X+12");
    Text start = U"1";
    RunNewtonCommand(state, start, host);
  }
  if (save.failed || host.warned || state.answerLine() != U"X=2.0 ") bench.SkipWithError("the solve went wrong");
  bench.SetLabel(ToUtf8(state.answerLine()));
}
BENCHMARK(BM_SolveWithAutoSave)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace suusiki

BENCHMARK_MAIN();
