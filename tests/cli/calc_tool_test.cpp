// SPDX-License-Identifier: GPL-3.0-or-later
// suusiki-calc as scripts use it: arguments in, answer lines and exit status out.
#include "cli/calc_tool.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "storage/table_lock.h"
#include "version.h"

namespace suusiki::cli {
namespace {

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

ToolRun RunTool(const std::vector<std::string>& args, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunCalcTool(args, in, out, err);
  return {status, out.str(), err.str()};
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A file named by its bytes, as the program gets its arguments.
std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(CalcToolTest, PrintsTheAnswerLineOfEachFormula) {
  const struct {
    std::vector<std::string> args;
    std::string input;
    std::string out;
  } cases[] = {
      {{"1+2", "1/3", "5/0"}, "", "3. \n0.333333333333333 \n文法エラー！0で除算\n"},
      {{"-5+3"}, "", "-2. \n"},      // a formula may start with "-"
      {{"--", "--5"}, "", "5. \n"},  // the minus of -5, negated
      {{}, "2*3\r\nSin(30)\n\n", "6. \n0.5 \n0. \n"},
      // Each formula is stored in the current variable, and later ones see it.
      {{"--def", "B=A*2", "--current", "C", "B+1"}, "", "1. \n"},
      {{"--def", "C=58*3", "--def", "B=C/2.2+67", "B*152/(C/4+85)"}, "", "172.807923593916 \n"},
      {{"--current", "B", "A+1", "B"}, "", "1. \n文法エラー！自己変数\n"},
      // The first and the last letter; an option given twice: the later one counts.
      {{"--def", "Z=5", "--current", "Y", "Z*2"}, "", "10. \n"},
      {{"--current", "Z", "Z+1"}, "", "文法エラー！自己変数\n"},
      {{"--current", "Z", "--current", "A", "A+1"}, "", "文法エラー！自己変数\n"},
      {{"--def", "B=1", "--def", "B=2", "B"}, "", "2. \n"},
      {{"--", "--help"}, "", "文法エラー！\n"},  // after "--" a formula, not the option
      // A failure says so: the answer line never keeps an earlier answer.
      {{"1" + std::string(400, '0'), "7", "10^400", "0/0"},
       "",
       "文法エラー！\n7. \n文法エラー！桁あふれ\n文法エラー！0で除算\n"},
      {{"\xFF"}, "", "0. \n"},
      // A bracket's value is one signed number; a typed minus is read by what stands before it.
      {{"(1-3)^2+(2-5)^2", "3-2^0.5", "-2^-(3)", "2*-3^2"}, "", "13. \n1.5857864376269 \n-0.125 \n18. \n"},
  };
  for (const auto& c : cases) {
    const ToolRun run = RunTool(c.args, c.input);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, c.out);
  }
}

TEST(CalcToolTest, SolvesTheEquationInA) {
  const struct {
    std::vector<std::string> args;
    std::string out;
    std::string input = {};
  } cases[] = {
      {{"--def", "A=X^2-8*X+12", "--solve", "1"}, "X=2.0 \n"},
      {{"--def", "A=X^2-8*X+12", "--solve", "10"}, "X=6.0 \n"},
      {{"--def", "A=X^2-2", "--solve", "1"}, "X=1.4142135724531 \n"},
      {{"--def", "A=X+3", "--solve", "1"}, "X=-3.0 \n"},
      {{"--def", "A=2*X-3", "--solve", "1"}, "X=1.50 \n"},
      {{"--def", "A=X-0.25", "--solve", "1"}, "X=0.250000010000017 \n"},
      {{"--def", "A=X^2+1", "--solve", "1"}, "[Check] 計算不能！\n1.43950624628438 \n"},
      {{"--def", "A=x^2-4", "--solve", "1"}, "[Check] 変数Ａ欄に 方程式を X で入力せよ！\n\n"},
      // EXP(2) passes the check for an X, then never moves: f is flat.
      {{"--def", "A=EXP(2)", "--solve", "1"}, "[Check] 計算不能！\n7.38905609893065 \n"},
      // The formula typed into B is stored before A becomes current.
      {{"--current", "B", "--def", "A=X^2-8*X+12+B-6", "--solve", "1", "6"}, "6. \nX=2.0 \n"},
      // The formula is typed into the current variable A, then solved.
      {{"--solve", "10", "X^2-8*X+12"}, "12. \nX=6.0 \n"},
      {{"--def", "A=X^3+X^2", "--solve", "-2"}, "X=-1.0 \n"},
      {{"--def", "A=X^2-8*X+12", "--solve", "1", "--solve", "10"}, "X=6.0 \n"},
      // With --solve and no formulas standard input is not read.
      {{"--def", "A=X^2-8*X+12", "--solve", "1"}, "X=2.0 \n", "A+1\n"},
      // The value of --solve is the start point's text whatever it looks like:
      // the reading rule reads -v as 0 (from the empty box's 1 the root would
      // be 0.000028087872985), and --version likewise.
      {{"--def", "A=X^3+X^2", "--solve", "-v"}, "X=0.0 \n"},
      {{"--def", "A=X^3+X^2", "--solve", "--version"}, "X=0.0 \n"},
  };
  for (const auto& c : cases) {
    const ToolRun run = RunTool(c.args, c.input);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, c.out) << c.args[1];
  }
}

// The output with each history line's time (HH:MM:SS) as "T".
std::string TimesMasked(const std::string& out) {
  return QString::fromStdString(out)
      .replace(QRegularExpression(QStringLiteral("(^|\n)\\d\\d:\\d\\d:\\d\\d\t")), QStringLiteral("\\1T\t"))
      .toStdString();
}

TEST(CalcToolTest, WithHistoryPrintsTheRunsCalculationsLast) {
  const std::string header = "時刻\t変数\t数式\t答え\n";
  const std::string longest = std::string(249, '(') + "1" + std::string(249, ')');
  const std::string tooLong = std::string(249, '(') + "12" + std::string(249, ')');
  const struct {
    std::vector<std::string> args;
    std::string out;
    std::string input = {};
  } cases[] = {
      {{"--history", "1+2", "5/0"},
       "3. \n文法エラー！0で除算\n" + header + "T\tA\t1+2\t3. \nT\tA\t5/0\t文法エラー！0で除算\n"},
      {{"--history"}, "6. \n0. \n" + header + "T\tA\t2*3\t6. \nT\tA\t\t0. \n", "2*3\r\n\n"},
      {{"--current", "B", "--def", "C=2", "C*3", "--history"}, "6. \n" + header + "T\tB\tC*3\t6. \n"},
      // The longest formula that calculates, and one character more.
      {{"--history", longest, tooLong},
       "1. \n文法エラー！\n" + header + "T\tA\t" + longest + "\t1. \nT\tA\t" + tooLong + "\t文法エラー！\n"},
      {{"--history", "1+한😀"}, "文法エラー！\n" + header + "T\tA\t1+한😀\t文法エラー！\n"},
      // A Newton run is one entry, with the root or the message it showed.
      {{"--history", "--def", "A=X^2-8*X+12", "--solve", "10"}, "X=6.0 \n" + header + "T\tA\tX^2-8*X+12\tX=6.0 \n"},
      {{"--history", "--solve", "10", "X^2-8*X+12"},
       "12. \nX=6.0 \n" + header + "T\tA\tX^2-8*X+12\t12. \nT\tA\tX^2-8*X+12\tX=6.0 \n"},
      {{"--history", "--def", "A=x^2-4", "--solve", "1"},
       "[Check] 変数Ａ欄に 方程式を X で入力せよ！\n\n" + header + "T\tA\tx^2-4\t変数Ａ欄に 方程式を X で入力せよ！\n"},
      {{"--history", "--def", "A=X^2+1", "--solve", "1"},
       "[Check] 計算不能！\n1.43950624628438 \n" + header + "T\tA\tX^2+1\t計算不能！\n"},
      {{"--", "--history"}, "文法エラー！\n"},  // after "--" a formula
  };
  for (const auto& c : cases) {
    const ToolRun run = RunTool(c.args, c.input);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(TimesMasked(run.out), c.out) << c.args[1];
  }
  // The last thousand.
  std::string input;
  for (int i = 1; i <= 1001; ++i) input += std::to_string(i) + "\n";
  const std::string out = TimesMasked(RunTool({"--history"}, input).out);
  const std::size_t first = out.find(header);
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(std::count(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(), '\n'), 1001);
  EXPECT_EQ(out.substr(first + header.size(), 10), "T\tA\t2\t2. \n");
  EXPECT_TRUE(out.ends_with("T\tA\t1001\t1,001. \n"));
}

TEST(CalcToolTest, SolvingWritesEveryStoreToTheAutoSaveFile) {
  QTemporaryDir dir;
  const std::string saved = dir.filePath("DATT.0DT").toStdString();
  const ToolRun run = RunTool({"--autosave", saved, "--def", "A=X^2-8*X+12", "--solve", "1"});
  EXPECT_EQ(run.out, "X=2.0 \n");
  QFile file(QString::fromStdString(saved));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_TRUE(bytes.startsWith("\"A: X^2-8*X+12\"\r\n"));
  EXPECT_TRUE(bytes.contains("\"X: 2.0\"\r\n"));
}

TEST(CalcToolTest, TellsItsVersionAndUsage) {
  for (const char* option : {"--version", "-v"}) {
    const ToolRun run = RunTool({"1+1", option});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, std::string("suusiki-calc ") + kVersion + "\n") << option;
  }
  for (const char* option : {"--help", "-h"}) {
    const ToolRun run = RunTool({option});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("usage: suusiki-calc", 0), 0u) << option;
  }
  // After a lone "--" they are formulas: -v is minus the empty variable V.
  EXPECT_EQ(RunTool({"--", "-v"}).out, "0. \n");
}

TEST(CalcToolTest, RefusesBadArgumentsWithStatusTwo) {
  // A name with a byte that is not UTF-8 names no file that Qt can open: read
  // as text it would become the name of another file, with U+FFFD in place of
  // that byte. Both files hold a table, and both stay as they are.
  const auto tableWithC = [](const char* c) {
    QByteArray bytes;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      bytes += "\"" + QByteArray(1, letter) + ": " + (letter == 'C' ? c : "") + "\"\r\n";
    }
    return bytes.toStdString();
  };
  QTemporaryDir dir;
  const std::string named = dir.path().toStdString() + "/T\xFF.0DT";
  const std::string replaced = dir.path().toStdString() + "/T\uFFFD.0DT";
  std::ofstream(named, std::ios::binary) << tableWithC("1");
  std::ofstream(replaced, std::ios::binary) << tableWithC("58*3");
  EXPECT_EQ(ReadBytes(named), tableWithC("1"));
  const std::vector<std::string> bad[] = {
      {"--table", named, "C*2"},
      {"--autosave", named, "1"},
      {"--table", dir.path().toStdString() + "/T\xC3.0DT", "C*2"},  // the first byte of a two-byte character, alone
      {"--bogus"},
      {"--history=1"},
      {"--def", "a=1"},
      {"--def", "AB=1"},
      {"--def", "A"},
      {"--current", "1"},
      {"--current"},
      {"--table", "/nonexistent/DATT.0DT"},
      {"--solve"},
      // An option's value is never -h or -v.
      {"--current", "-h"},
      {"--def", "--help"},
  };
  for (const auto& args : bad) {
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 2) << args[0];
    EXPECT_FALSE(run.err.empty());
    EXPECT_TRUE(run.out.empty());
  }
  EXPECT_EQ(ReadBytes(named), tableWithC("1"));
  EXPECT_EQ(ReadBytes(replaced), tableWithC("58*3"));
  // Qt can't name the first one, so it counts and removes by bytes.
  const std::filesystem::path folder(dir.path().toStdString());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2) << "no lock file, no new file";
  std::filesystem::remove(named);
}

TEST(CalcToolTest, ReadsATableFileAndWritesTheAutoSaveFile) {
  QTemporaryDir dir;
  const QString table = dir.filePath("in.0DT");
  QByteArray bytes;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    bytes += "\"" + QByteArray(1, letter) + ": " + (letter == 'C' ? "58*3" : "") + "\"\r\n";
  }
  WriteFile(table, bytes);
  const QString saved = dir.filePath("out.0DT");
  const ToolRun run = RunTool({"--table", table.toStdString(), "--autosave", saved.toStdString(), "C*2"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "348. \n");
  QFile in(table);
  ASSERT_TRUE(in.open(QIODevice::ReadOnly));
  EXPECT_EQ(in.readAll(), bytes) << "the table file is never written";
  QFile out(saved);
  ASSERT_TRUE(out.open(QIODevice::ReadOnly));
  EXPECT_TRUE(out.readAll().startsWith("\"A: C*2\"\r\n\"B: \"\r\n\"C: 58*3\"\r\n"));

  const ToolRun twice = RunTool({"--table", table.toStdString(), "--table", table.toStdString(), "C*2"});
  EXPECT_EQ(twice.status, 2);
  EXPECT_NE(twice.err.find("--table given twice"), std::string::npos) << twice.err;
  EXPECT_TRUE(twice.out.empty());
}

TEST(CalcToolTest, LinesEndingInCrLfAreStoredWithoutTheCr) {
  QTemporaryDir dir;
  const QString saved = dir.filePath("DATT.0DT");
  const ToolRun run = RunTool({"--autosave", saved.toStdString()}, "2*3\r\nSin(30)\r\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "6. \n0.5 \n");
  QFile file(saved);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().startsWith("\"A: Sin(30)\"\r\n\"B: \"\r\n"));
}

TEST(CalcToolTest, HelpPrintsTheUsage) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--help"},
        {"1+1", "--help"},
        {"--bogus", "--help", "--"},
        // Only the one value after an option is skipped, and a "--" there is the value.
        {"--solve", "5", "-h"},
        {"--table", "--", "--help"}}) {
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 0) << args[0];
    EXPECT_TRUE(run.out.starts_with("usage: suusiki-calc")) << run.out;
    EXPECT_TRUE(run.err.empty()) << run.err;
  }
}

TEST(CalcToolTest, ShortTableFileIsRefused) {
  QTemporaryDir dir;
  const QString table = dir.filePath("short.0DT");
  WriteFile(table, "\"A: 1\"\r\n\"B: 2\"\r\n");
  const ToolRun run = RunTool({"--table", table.toStdString(), "A"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("short.0DT"), std::string::npos) << run.err;
}

TEST(CalcToolTest, AnAutoSaveThatFailsIsReportedOnceAndTheCalculationGoesOn) {
  QTemporaryDir dir;
  const std::string belowAFile = dir.filePath("file").toStdString() + "/DATT.0DT";
  WriteFile(dir.filePath("file"), "x");
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"--autosave", belowAFile, "1+1", "2+2"}, "2. \n4. \n"},
      {{"--autosave", belowAFile, "--def", "A=X-2", "--solve", "1"}, "X=2.0 \n"},
  };
  for (const auto& c : cases) {
    const ToolRun run = RunTool(c.args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
}

TEST(CalcToolTest, AnAutoSaveFileThatARunningWindowHoldsIsLeftAlone) {
  QTemporaryDir dir;
  const QString saved = dir.filePath("DATT.0DT");
  QByteArray before = "\"A: 1\"\r\n";
  for (char letter = 'B'; letter <= 'Z'; ++letter) before += "\"" + QByteArray(1, letter) + ": \"\r\n";
  WriteFile(saved, before);
  storage::TableLock window(saved);
  ASSERT_EQ(window.TryAcquire(), storage::TableLock::Outcome::Acquired);

  const ToolRun refused = RunTool({"--autosave", saved.toStdString(), "2+2"});
  EXPECT_EQ(refused.status, 2);
  EXPECT_TRUE(refused.out.empty()) << "nothing is calculated";
  EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
  EXPECT_NE(refused.err.find(saved.toStdString()), std::string::npos) << refused.err;
  EXPECT_EQ(ReadFile(saved), before) << "the window's table is never overwritten";

  // Reading it as a table writes nothing: that goes on.
  const ToolRun read = RunTool({"--table", saved.toStdString(), "--current", "B", "A+1"});
  EXPECT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.out, "2. \n");

  window.Release();
  // A lock file just made, before its maker has written its name into it, keeps the file too.
  WriteFile(storage::LockPathFor(saved), "");
  const ToolRun unnamed = RunTool({"--autosave", saved.toStdString(), "2+2"});
  EXPECT_EQ(unnamed.status, 2);
  EXPECT_NE(unnamed.err.find("in use by another running program"), std::string::npos) << unnamed.err;
  ASSERT_TRUE(QFile::remove(storage::LockPathFor(saved)));

  const ToolRun run = RunTool({"--autosave", saved.toStdString(), "2+2"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "4. \n");
  EXPECT_TRUE(ReadFile(saved).startsWith("\"A: 2+2\"\r\n"));
  EXPECT_FALSE(QFile::exists(storage::LockPathFor(saved))) << "the run lets the file go when it ends";
}

// The program itself: its arguments, standard input and output, exit status.
TEST(CalcToolTest, TheProgramRunsTheTool) {
  QTemporaryDir dir;
  WriteFile(dir.filePath("file"), "x");
  const struct {
    QStringList args;
    QByteArray input, out;
    int status;
  } cases[] = {
      {{"1+1", "2*3"}, "", "2. \n6. \n", 0},
      {{}, "3*3\n", "9. \n", 0},
      {{"--autosave", dir.filePath("file") + "/DATT.0DT", "1"}, "", "1. \n", 1},
      {{"--bogus"}, "", "", 2},
  };
  for (const auto& c : cases) {
    QProcess program;
    program.start(QStringLiteral(SUUSIKI_CALC_PROGRAM), c.args);
    ASSERT_TRUE(program.waitForStarted());
    program.write(c.input);
    program.closeWriteChannel();
    ASSERT_TRUE(program.waitForFinished());
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), c.status) << c.args.join(' ').toStdString();
    EXPECT_EQ(program.readAllStandardOutput(), c.out) << c.args.join(' ').toStdString();
  }
}

// A program that sends one formula through a pipe and waits for its answer
// before it sends the next: the answers are buffered, but never held back
// while the tool waits for input.
TEST(CalcToolTest, AnswersEachFormulaFromAPipeBeforeTheNextOneArrives) {
  QProcess program;
  program.start(QStringLiteral(SUUSIKI_CALC_PROGRAM), QStringList());
  ASSERT_TRUE(program.waitForStarted());
  const struct {
    QByteArray formula, answer;
  } exchanges[] = {{"1+1\n", "2. \n"}, {"2*3\r\n", "6. \n"}, {"5/0\n", "文法エラー！0で除算\n"}};
  for (const auto& exchange : exchanges) {
    program.write(exchange.formula);
    QByteArray received;
    while (!received.endsWith('\n') && program.waitForReadyRead(10000)) received += program.readAllStandardOutput();
    EXPECT_EQ(received, exchange.answer) << exchange.formula.toStdString();
  }
  program.closeWriteChannel();
  ASSERT_TRUE(program.waitForFinished());
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_EQ(program.readAllStandardOutput(), QByteArray());
}

TEST(CalcToolTest, ARunKilledWhileItHeldTheFileBlocksNothing) {
  QTemporaryDir dir;
  const QString saved = dir.filePath("DATT.0DT");
  QProcess holder;
  holder.start(QStringLiteral(SUUSIKI_CALC_PROGRAM), {QStringLiteral("--autosave"), saved});
  ASSERT_TRUE(holder.waitForStarted());
  // It holds the lock while it waits for formulas on its standard input. The
  // lock file is made first and names its holder a moment later: killed in
  // between, the holder would leave a lock that names nobody.
  const auto holderPid = [&] { return storage::TableLock(saved).holder().pid; };
  QElapsedTimer waited;
  waited.start();
  while (holderPid() != holder.processId() && waited.elapsed() < 10000) QThread::msleep(10);
  ASSERT_EQ(holderPid(), holder.processId());
  EXPECT_EQ(RunTool({"--autosave", saved.toStdString(), "1"}).status, 2);

  holder.kill();  // SIGKILL: no chance to remove the lock file
  ASSERT_TRUE(holder.waitForFinished());
  ASSERT_TRUE(QFile::exists(storage::LockPathFor(saved)));
  const ToolRun run = RunTool({"--autosave", saved.toStdString(), "1+1"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "2. \n");
}

}  // namespace
}  // namespace suusiki::cli
