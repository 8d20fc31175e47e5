// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

#include "mainwin/formula_box.h"
#include "mainwin/print_list.h"
#include "solver/newton.h"
#include "ui/accessibility.h"
#include "ui/events.h"
#include "ui/fonts.h"
#include "ui/printing.h"
#include "ui/qt_text.h"

namespace suusiki {
namespace {

const QString kCheck = QStringLiteral("Check");
const QString kPrintTitle = QStringLiteral("印刷");

// The function help panel: eleven lines, each ending with CR LF.
const QString kFunctionHelp = QStringLiteral(
    "　Atn：ｱｰｸﾀﾝｼﾞｪﾝﾄ　　入力：Atn(高さ／底辺)＝角度\r\n"
    "　Sin：ｻｲﾝ　　　　　  入力：Sin(角度)＝高さ／斜辺\r\n"
    "　Cos：ｺｻｲﾝ　　　　  入力：Cos(角度)＝底辺／斜辺\r\n"
    "　Tan：ﾀﾝｼﾞｪﾝﾄ　　　 入力：Tan(角度)＝高さ／底辺\r\n"
    "　Exp：指数関数 (自然対数の底のべき乗) \r\n"
    "　Fix：整数部分（負数も整数部を取り出す）\r\n"
    "　Int：整数部分（負数は切下げ）\r\n"
    "　Log：自然対数\r\n"
    "　a^n=b →n*Log(a)=Log(b)→n=Log(b)/Log(a)\r\n"
    "　Sqr：平方根\r\n"
    "　Pi ：円周率　3.14･･････\r\n");

// Character offsets of the engine from UTF-16 offsets of Qt, and back.
int CharsBefore(const QString& text, int utf16) { return static_cast<int>(text.left(utf16).toUcs4().size()); }
int Utf16Before(const QString& text, int chars) {
  return static_cast<int>(ToQString(FromQString(text).substr(0, static_cast<std::size_t>(chars))).size());
}

}  // namespace

// Events of the whole application that the main window must see.
class MainWindow::ApplicationWatcher : public QObject {
 public:
  explicit ApplicationWatcher(MainWindow& window) : window_(window) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override { return window_.ApplicationEvent(watched, event); }

 private:
  MainWindow& window_;
};

MainWindow::MainWindow(const QString& autoSavePath, Platform platform, QWidget* parent)
    : QMainWindow(parent),
      desktop_(std::move(platform), this),
      platform_(desktop_.get()),
      autoSave_(autoSavePath),
      state_(&autoSave_),
      files_(
          state_, autoSave_, platform_,
          [this] {
            ShowState();
            windows_.StateChanged();
          },
          [this] { FocusFormulaBox(); }),
      windows_(
          platform_, [this] { BringToFront(this); },
          GraphSource{[this]() -> const MainState& { return state_; },
                      [this] { return FromQString(startPointBox_->text()); }},
          history::HistorySource{&history_, [this](TextView formula) { UseFormula(formula); }}) {
  InstallWindowRoles();  // before any window of the program is made
  setObjectName(QStringLiteral("SUUSIKI"));
  setWindowTitle(QStringLiteral(" ｶﾙﾒﾛ★★★"));
  setFont(WindowFont(kPGothic, 9));
  BuildControls();
  BuildMenus();
  layout()->setSizeConstraint(QLayout::SetFixedSize);  // the window keeps its size
  SetAccessibleNames();
  applicationWatcher_ = std::make_unique<ApplicationWatcher>(*this);
  qApp->installEventFilter(applicationWatcher_.get());
}

MainWindow::~MainWindow() { qApp->removeEventFilter(applicationWatcher_.get()); }

void MainWindow::ToolbarClick(int button) {
  switch (button) {
    case 1: OpenFile(); break;
    case 2: SaveFile(FileCommands::kFileFilter); break;  // its save dialog shows "(*.0DT)"
    case 3: Print(); break;
    case 4: StartCompanion(); break;
    case 5: ShowWindow(SecondaryWindow::ProgramHelp); break;
    default: break;
  }
}

QWidget* MainWindow::ShowWindow(SecondaryWindow window) { return windows_.Show(window); }

void MainWindow::StartCompanion() {
  // Beside this program first (a build or a portable copy), then on the PATH.
  const QString program = platform_.findProgram(QStringLiteral("soroban"));
  QString error;
  if (!platform_.startProgram(program, &error)) {
    platform_.prompter->Tell(QStringLiteral("ソロバンを起動できませんでした。\n%1\n%2").arg(program, error), kCheck,
                             Prompter::Icon::Exclamation);
  }
}

void MainWindow::Print() {
  if (!platform_.prompter->Ask(QStringLiteral("変数一覧の印刷しますか？"), kPrintTitle)) return;
  QStringList lines;
  for (const Text& line : PrintLines(state_)) lines << ToQString(line);
  PrintOrOfferPdf(platform_, lines, kPrintTitle);
  FocusFormulaBox();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == formulaBox_) return FormulaBoxEvent(event);
  if (watched == startPointBox_) return StartPointEvent(event);
  if (watched == variableList_->lineEdit()) return ListEditEvent(event);
  return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::FormulaBoxEvent(QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    selectionAtFocusOut_ = LiveSelection();  // before the box drops its selection
    textAtFocusOut_ = formulaBox_->text();
  }
  if (!IsEnter(event) || state_.current() < 0) return false;
  Run([this] { return Recorded(state_.EnterInFormulaBox()); });
  return true;
}

bool MainWindow::StartPointEvent(QEvent* event) {
  if (!IsEnter(event)) return false;
  solveButton_->setFocus();  // Enter moves on to the button; nothing is calculated
  return true;
}

bool MainWindow::ListEditEvent(QEvent* event) {
  // With no variable current the command calculates nothing.
  if (IsEnter(event))
    Run([this, calculates = state_.current() >= 0] {
      const Effects effects = state_.EnterInList();
      return calculates ? Recorded(effects) : effects;
    });
  return false;  // the key goes on to the list as well
}

bool MainWindow::ApplicationEvent(QObject* watched, QEvent* event) {
  // Legacy: the window's shortcuts win over the text boxes' own keys, so
  // Ctrl+A (save as), Ctrl+C (the geometric series), Ctrl+V (the version) and
  // Ctrl+X (end) never select, copy, paste or cut in a box.
  if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    for (const QAction* action : shortcuts_) {
      if (action->shortcut() == pressed) {
        event->ignore();  // not taken by the box: the shortcut runs
        return true;
      }
    }
  }
  // Coming back to this window from one of the program's other windows
  // restores the table; coming back from a message box, a file dialog or
  // another program does not. Leaving for another program makes no window of
  // this one active.
  if (event->type() == QEvent::ApplicationStateChange && watched == qApp &&
      static_cast<QApplicationStateChangeEvent*>(event)->applicationState() != Qt::ApplicationActive) {
    lastActiveWasSecondary_ = false;
  }
  if (event->type() == QEvent::WindowActivate && watched->isWidgetType()) {
    auto* window = static_cast<QWidget*>(watched);
    if (window->isWindow()) {
      if (window == this && lastActiveWasSecondary_) RestoreAutoSave();
      lastActiveWasSecondary_ = SecondaryWindows::RestoresTable(window);
    }
  }
  return false;
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!restoredOnce_) {
    restoredOnce_ = true;
    RestoreAutoSave();
  }
}

MainWindow::Selection MainWindow::FormulaBoxSelection() const {
  if (!formulaBox_->hasFocus() && formulaBox_->text() == textAtFocusOut_) return selectionAtFocusOut_;
  return LiveSelection();
}

MainWindow::Selection MainWindow::LiveSelection() const {
  const QString text = formulaBox_->text();
  if (!formulaBox_->hasSelectedText()) return {CharsBefore(text, formulaBox_->cursorPosition()), 0};
  const int start = formulaBox_->selectionStart();
  return {CharsBefore(text, start),
          CharsBefore(text, start + formulaBox_->selectionLength()) - CharsBefore(text, start)};
}

void MainWindow::KANYU() {
  const BoxEdit edit =
      InsertAtCaret(FromQString(formulaBox_->text()), FormulaBoxSelection().caret, FromQString(insertionText_));
  formulaBox_->setText(ToQString(edit.text));
}

void MainWindow::Insert(const QString& text) {
  const int caret = FormulaBoxSelection().caret;
  insertionText_ = text;
  KANYU();
  formulaBox_->setFocus();
  formulaBox_->setCursorPosition(Utf16Before(formulaBox_->text(), caret + static_cast<int>(text.toUcs4().size())));
}

void MainWindow::Backspace() {
  const BoxEdit edit = DeleteBeforeCaret(FromQString(formulaBox_->text()), FormulaBoxSelection().caret);
  formulaBox_->setText(ToQString(edit.text));
  formulaBox_->setFocus();
  formulaBox_->setCursorPosition(Utf16Before(formulaBox_->text(), edit.caret));
}

void MainWindow::Delete() {
  const Selection selection = FormulaBoxSelection();
  const BoxEdit edit = DeleteAfterCaret(FromQString(formulaBox_->text()), selection.caret, selection.length);
  formulaBox_->setText(ToQString(edit.text));
  formulaBox_->setFocus();
  formulaBox_->setCursorPosition(Utf16Before(formulaBox_->text(), edit.caret));
}

void MainWindow::ClearEntry() {
  formulaBox_->clear();
  state_.ClearEntry();
  variableList_->setEditText(QString());
  FocusFormulaBox();
}

void MainWindow::ClearAll() {
  if (!platform_.prompter->Ask(QStringLiteral("本当に変数を全部クリアしてよろしいですか？"), kCheck)) {
    FocusFormulaBox();
    return;
  }
  platform_.beeper->Beep();
  Run([this] {
    Effects effects = state_.ClearAll();
    effects.beep = false;  // the beep above comes first
    return effects;
  });
}

void MainWindow::ShowFunctionHelp() {
  functionHelp_->show();
  functionHelpText_->setText(kFunctionHelp);
  functionHelpClose_->setFocus();
}

void MainWindow::CloseFunctionHelp() {
  functionHelp_->hide();
  FocusFormulaBox();
}

void MainWindow::CopyAnswer() {
  QString text = answerLine_->hasSelectedText() ? answerLine_->selectedText() : answerLine_->text();
  if (text.endsWith(QLatin1Char(' '))) text.chop(1);
  QGuiApplication::clipboard()->setText(text);
}

void MainWindow::EndProgram() { platform_.quit(); }

void MainWindow::Calculate() {
  Run([this] { return Recorded(state_.Calculate()); });
}

Effects MainWindow::Recorded(const Effects& effects) {
  history_.AddCalculation(state_);
  return effects;
}

void MainWindow::UseFormula(TextView formula) {
  state_.TypeInFormulaBox(formula);
  formulaBox_->setText(ToQString(formula));
  BringToFront(this);
  FocusFormulaBox();
}

// The Newton command's view of the window: the one yield redraws the answer
// line, message boxes go through the window's prompter.
class MainWindow::NewtonHost : public suusiki::NewtonHost {
 public:
  explicit NewtonHost(MainWindow& window) : window_(window) {}
  void Yield() override {
    window_.ShowState();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  void Beep() override { window_.platform_.beeper->Beep(); }
  void Warn(TextView message) override {
    window_.ShowState();
    window_.platform_.prompter->Tell(ToQString(message), kCheck, Prompter::Icon::Exclamation);
  }

 private:
  MainWindow& window_;
};

void MainWindow::Solve() {
  Run([this] {
    Text startPoint = FromQString(startPointBox_->text());
    NewtonHost host(*this);
    const NewtonEnd end = RunNewtonCommand(state_, startPoint, host);
    history_.AddNewtonRun(state_, NewtonMessage(end));
    startPointBox_->setText(ToQString(startPoint));
    Effects effects;
    effects.focus = Focus::FormulaBox;
    return effects;
  });
}

void MainWindow::TakeEdits() {
  state_.TypeInFormulaBox(FromQString(formulaBox_->text()));
  state_.TypeInList(FromQString(variableList_->lineEdit()->text()));
}

void MainWindow::ShowState() {
  if (shownTable_ != state_.table()) {
    QSignalBlocker blocker(variableList_);
    // The 26 rows in one insertion, which the list's model and views hear of
    // once.
    QStringList rows;
    rows.reserve(kVariableCount);
    for (const Text& entry : state_.table()) rows << ToQString(entry);
    variableList_->clear();
    variableList_->addItems(rows);
    shownTable_ = state_.table();
  }
  {
    QSignalBlocker blocker(variableList_);
    if (state_.current() >= 0 && variableList_->currentIndex() != state_.current())
      variableList_->setCurrentIndex(state_.current());
    variableList_->setEditText(ToQString(state_.listEdit()));
  }
  answerLine_->setText(ToQString(state_.answerLine()));
  variableLabel_->setText(ToQString(state_.variableLabel()));
  const QString formula = ToQString(state_.formulaBox());
  if (formulaBox_->text() != formula) formulaBox_->setText(formula);
}

void MainWindow::Perform(const Effects& effects) {
  ShowState();
  windows_.StateChanged();
  if (effects.beep) platform_.beeper->Beep();
  if (effects.focus == Focus::FormulaBox) FocusFormulaBox();
  if (effects.focus == Focus::List) {
    variableList_->setFocus();
    variableList_->lineEdit()->end(false);
  }
  files_.ReportAutoSaveFailure();
}

void MainWindow::FocusFormulaBox() {
  formulaBox_->setFocus();
  formulaBox_->end(false);
}

void MainWindow::RestoreAutoSave() {
  formulaBox_->setFocus();
  files_.Restore();
}

void MainWindow::OpenFile() { files_.Open(); }

void MainWindow::OpenFile(const QString& path) { files_.OpenAt(path); }

void MainWindow::SaveFile(const QString& saveFilter) { files_.Save(saveFilter); }

void MainWindow::SaveFileAs() { files_.SaveAs(); }

}  // namespace suusiki
