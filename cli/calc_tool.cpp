// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/calc_tool.h"

#include <QFile>
#include <istream>
#include <optional>
#include <ostream>
#include <utility>

#include "engine/main_state.h"
#include "history/history.h"
#include "solver/newton.h"
#include "storage/file_auto_save.h"
#include "storage/table_lock.h"
#include "storage/variable_file.h"
#include "version.h"

namespace suusiki::cli {
namespace {

constexpr const char* kUsage =
    "usage: suusiki-calc [--table FILE] [--def L=TEXT]... [--current L] [--autosave FILE]\n"
    "                    [--solve START] [--history] [FORMULA...]\n"
    "       suusiki-calc -h | --help | -v | --version\n"
    "Each FORMULA (or each line of standard input when none is given) is typed into the\n"
    "formula box of the current variable and calculated; the answer line is printed.\n"
    "Arguments after a lone -- are formulas, even when they start with -- or are -h or -v.\n"
    "--history prints at the end the history of the run's calculations, tab-separated.\n";

// The Newton command's message boxes become lines "[Check] message".
class PrintingNewtonHost : public NewtonHost {
 public:
  explicit PrintingNewtonHost(std::ostream& out) : out_(out) {}
  void Yield() override {}
  void Beep() override {}
  void Warn(TextView message) override { out_ << "[Check] " << ToUtf8(message) << '\n'; }

 private:
  std::ostream& out_;
};

struct Options {
  std::optional<QString> table;
  std::vector<std::pair<int, std::string>> definitions;
  int current = 0;
  std::optional<QString> autoSave;
  std::optional<std::string> solveStart;
  bool history = false;
  std::vector<std::string> formulas;
};

// A single letter A to Z, as its variable index; -1 otherwise.
int LetterIndex(std::string_view text) {
  return text.size() == 1 && text[0] >= 'A' && text[0] <= 'Z' ? text[0] - 'A' : -1;
}

// A file name given on the command line, named as storage/ names files on
// disk (QFile::encodeName and decodeName, in the locale's encoding). Bytes
// that are not text in that encoding come back as other bytes, the name of
// another file, so such a name is refused: nothing is read from or written
// to a file that was not named.
std::optional<QString> FileName(const std::string& bytes) {
  QString name = QFile::decodeName(QByteArray::fromStdString(bytes));
  if (QFile::encodeName(name).toStdString() != bytes) return std::nullopt;
  return name;
}

// The options that take the next argument as their value, whatever it is.
bool TakesValue(std::string_view arg) {
  return arg == "--table" || arg == "--def" || arg == "--current" || arg == "--autosave" || arg == "--solve";
}

// What a -h, --help, -v or --version asks for before anything else is looked
// at. The arguments are walked as Parse walks them: the value of an option is
// never one of these, and after a lone -- nothing is an option.
enum class Request { None, Help, Version };
Request AskedFor(const std::vector<std::string>& args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") break;
    if (arg == "--help" || arg == "-h") return Request::Help;
    if (arg == "--version" || arg == "-v") return Request::Version;
    if (TakesValue(arg)) ++i;
  }
  return Request::None;
}

// Fills `options`; on a bad argument returns the complaint.
std::optional<std::string> Parse(const std::vector<std::string>& args, Options& options) {
  bool formulasOnly = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (formulasOnly || arg.rfind("--", 0) != 0) {
      options.formulas.push_back(arg);  // "-5+3" is a formula, not an option
      continue;
    }
    if (arg == "--") {
      formulasOnly = true;
      continue;
    }
    if (arg == "--history") {
      options.history = true;
      continue;
    }
    if (!TakesValue(arg)) return "unknown option " + arg;
    if (i + 1 >= args.size()) return arg + " needs a value";
    const std::string& value = args[++i];
    if (arg == "--table" || arg == "--autosave") {
      std::optional<QString>& file = arg == "--table" ? options.table : options.autoSave;
      if (arg == "--table" && file) return "--table given twice";
      file = FileName(value);
      if (!file) return std::string(arg).append(" needs a file name that is UTF-8 text: ").append(value);
    } else if (arg == "--def") {
      const auto equals = value.find('=');
      const int index = equals == std::string::npos ? -1 : LetterIndex(std::string_view(value).substr(0, equals));
      if (index < 0) return "--def needs L=TEXT with a letter L from A to Z: " + value;
      options.definitions.emplace_back(index, value.substr(equals + 1));
    } else if (arg == "--current") {
      options.current = LetterIndex(value);
      if (options.current < 0) return "--current needs a letter from A to Z: " + value;
    } else {
      options.solveStart = value;
    }
  }
  return std::nullopt;
}

// Takes the lock of the auto-save file. A running window (or another run)
// that auto-saves to the same file keeps it: writing our table there would
// overwrite its changes, so that is told and false comes back.
bool LockAutoSave(const QString& path, std::optional<storage::TableLock>& lock, std::ostream& err) {
  lock.emplace(path);
  if (lock->TryAcquire() != storage::TableLock::Outcome::HeldByOther) return true;
  const storage::TableLock::Holder holder = lock->holder();
  err << "suusiki-calc: " << QFile::encodeName(path).toStdString() << " is in use by ";
  if (holder.pid > 0) {
    err << holder.program.toStdString() << " (process " << holder.pid << ")";
  } else {
    err << "another running program";
  }
  err << "; nothing was written\n";
  return false;
}

// The table the run starts with: the file of --table, or an empty table, with
// the definitions of --def put in. Nothing after telling why the file can't be read.
std::optional<VariableTable> StartTable(const Options& options, std::ostream& err) {
  VariableTable table = EmptyTable();
  if (options.table) {
    const storage::FileResult result = storage::ReadVariableFile(*options.table, table);
    if (!result.ok()) {
      err << "suusiki-calc: " << storage::DescribeFailure(result, *options.table) << '\n';
      return std::nullopt;
    }
  }
  for (const auto& [index, definition] : options.definitions) {
    table[static_cast<std::size_t>(index)] = EntryFor(index, FromUtf8(definition));
  }
  return table;
}

// The calculations of one run on a loaded state: each prints its answer line,
// goes into the run's history when --history asks for it, and tells a failed
// auto-save.
class Calculations {
 public:
  Calculations(const Options& options, MainState& state, FileAutoSave* autoSave, std::ostream& out, std::ostream& err)
      : options_(options), state_(state), autoSave_(autoSave), out_(out), err_(err) {}

  // The formulas of the command line; without any (and without --solve), the
  // lines of `in`.
  void CalculateFormulas(std::istream& in) {
    if (!options_.formulas.empty() || options_.solveStart) {
      for (const std::string& formula : options_.formulas) Calculate(formula);
      return;
    }
    std::string line;
    for (;;) {
      // The answers so far go out before a read that may wait: whoever types
      // the formulas, or sends them through a pipe one by one, sees each answer
      // before the next formula is needed. Formulas read from a file come
      // whole buffers at a time, and so do their answers.
      if (in.rdbuf() == nullptr || in.rdbuf()->in_avail() <= 0) out_.flush();
      if (!std::getline(in, line)) break;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      Calculate(line);
    }
  }

  // The Newton command from `start`; its messages come before its answer line.
  void Solve(const std::string& start) {
    Text startPoint = FromUtf8(start);
    PrintingNewtonHost host(out_);
    const NewtonEnd end = RunNewtonCommand(state_, startPoint, host);
    if (options_.history) record_.AddNewtonRun(state_, NewtonMessage(end));
    ReportSaveFailure();
    out_ << ToUtf8(state_.answerLine()) << '\n';
  }

  // Prints the history when asked for; the exit code: 1 when a write of the
  // auto-save file failed.
  int Finish() {
    if (options_.history) out_ << history::TabSeparatedText(record_);
    out_.flush();
    return saveFailed_ ? 1 : 0;
  }

 private:
  void Calculate(std::string_view formula) {
    FromUtf8(formula, typed_);
    state_.TypeInFormulaBox(typed_);
    state_.Calculate();
    if (options_.history) record_.AddCalculation(state_);
    ReportSaveFailure();
    ToUtf8(state_.answerLine(), answer_);
    answer_.push_back('\n');
    out_.write(answer_.data(), static_cast<std::streamsize>(answer_.size()));
  }

  // A write that starts to fail is told once on standard error.
  void ReportSaveFailure() {
    if (autoSave_ == nullptr || !autoSave_->TakeNewFailure()) return;
    err_ << "suusiki-calc: " << storage::DescribeFailure(autoSave_->lastResult(), autoSave_->path()) << '\n';
    saveFailed_ = true;
  }

  const Options& options_;
  MainState& state_;
  FileAutoSave* autoSave_;
  std::ostream& out_;
  std::ostream& err_;
  history::History record_;
  bool saveFailed_ = false;
  // One answer line goes out in one write to the stream, through buffers that
  // live as long as the run.
  Text typed_;
  std::string answer_;
};

}  // namespace

int RunCalcTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
  switch (AskedFor(args)) {
    case Request::Help: out << kUsage; return 0;
    case Request::Version: out << "suusiki-calc " << kVersion << '\n'; return 0;
    case Request::None: break;
  }
  Options options;
  if (const auto complaint = Parse(args, options)) {
    err << "suusiki-calc: " << *complaint << '\n' << kUsage;
    return 2;
  }
  std::optional<storage::TableLock> lock;
  if (options.autoSave && !LockAutoSave(*options.autoSave, lock, err)) return 2;
  std::optional<FileAutoSave> autoSave;
  if (options.autoSave) autoSave.emplace(*options.autoSave);
  MainState state(autoSave ? &*autoSave : nullptr);

  const std::optional<VariableTable> table = StartTable(options, err);
  if (!table) return 2;
  state.LoadTable(*table);
  // The current variable is chosen as in the window's list: the formula box
  // shows its definition (the Newton command stores the box first).
  state.SelectRow(options.current);

  Calculations calculations(options, state, autoSave ? &*autoSave : nullptr, out, err);
  calculations.CalculateFormulas(in);
  if (options.solveStart) calculations.Solve(*options.solveStart);
  return calculations.Finish();
}

}  // namespace suusiki::cli
