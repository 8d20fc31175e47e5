// SPDX-License-Identifier: GPL-3.0-or-later
// The main window SUUSIKI. It shows the texts of the engine's MainState in its
// controls, forwards clicks and keys to the commands of that state, and does
// what the commands ask for: a beep, the focus, a message box. Its file
// commands and its other windows live in classes of their own.
#pragma once

#include <QMainWindow>
#include <memory>
#include <optional>
#include <vector>

#include "engine/main_state.h"
#include "history/history.h"
#include "mainwin/file_commands.h"
#include "mainwin/secondary_windows.h"
#include "storage/file_auto_save.h"
#include "ui/platform.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace suusiki {

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `autoSavePath` is the auto-save file DATT.0DT. The table is read from it
  // when the window is first shown.
  explicit MainWindow(const QString& autoSavePath, Platform platform = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  MainState& state() { return state_; }
  // The session's calculations, as the window "計算の履歴" shows them.
  history::History& history() { return history_; }
  const FileAutoSave& autoSave() const { return autoSave_; }

  // Inserts the insertion text (see Insert) into the formula box at its
  // caret. Neither the caret nor the focus moves; every caller does that.
  void KANYU();

  // The calculate command (the button "計算"); it adds an entry to the history.
  void Calculate();
  // The Newton command (the button "ﾆｭｰﾄﾝ") from the start point in Text1;
  // it adds one entry to the history, with its outcome.
  void Solve();
  // Reads the variable table from DATT.0DT and shows A. Runs when the window is
  // first shown and whenever the user comes back to it from one of the
  // program's other windows.
  void RestoreAutoSave();

  // The file commands. The save command's dialog, when it needs one, uses
  // `saveFilter`: the menu's and the toolbar's differ.
  void OpenFile();
  // Opens the variable file at `path` as the open command does after its dialog.
  void OpenFile(const QString& path);
  void SaveFile(const QString& saveFilter);
  void SaveFileAs();
  const QString& rememberedFileName() const { return files_.rememberedName(); }

  // Prints the variable list after asking.
  void Print();
  // Starts the companion calculator "soroban" from the program's folder.
  void StartCompanion();
  // Shows one of the program's other windows: made when it isn't open,
  // otherwise brought to the front. Returns it.
  QWidget* ShowWindow(SecondaryWindow window);
  // A click on toolbar button 1 to 5.
  void ToolbarClick(int button);

  // Puts the answer line on the clipboard without its trailing space (the
  // selected part of it, when there is one).
  void CopyAnswer();

  // Puts `formula` into the formula box for the current variable, neither
  // stored nor calculated, and brings the window to the front with the caret
  // at the formula's end: the history window's Enter and double-click.
  void UseFormula(TextView formula);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // The text that the next KANYU inserts.
  QString insertionText_;
  class ApplicationWatcher;
  class NewtonHost;

  // Building the window (main_window_layout.cpp).
  void BuildControls();
  void BuildNewtonRow(QWidget* client);
  void BuildAnswerRow(QWidget* client);
  void BuildFormulaRow(QWidget* client);
  void BuildFunctionKeys(QWidget* client);
  void BuildKeypad(QWidget* client);
  void BuildVariableKeys(QWidget* client);
  void BuildFunctionHelp(QWidget* client);
  void BuildMenus();
  void BuildToolbar(QWidget* frame);
  void SetAccessibleNames();
  QPushButton* InsertButton(QWidget* parent, const QString& name, const QString& caption, const QString& insertion,
                            int left, int top, int width, int height);

  // Events: Enter and the focus in the boxes, and the application-wide ones.
  bool FormulaBoxEvent(QEvent* event);
  bool StartPointEvent(QEvent* event);
  bool ListEditEvent(QEvent* event);
  bool ApplicationEvent(QObject* watched, QEvent* event);

  void Insert(const QString& text);
  void Backspace();
  void Delete();
  void ClearEntry();
  void ClearAll();
  void ShowFunctionHelp();
  void CloseFunctionHelp();
  void EndProgram();

  // Runs a command of the state on what the boxes hold now, then shows the result.
  template <typename Command>
  void Run(Command command) {
    TakeEdits();
    Perform(command());
  }
  // Adds the calculation that just ran to the history; returns its effects.
  Effects Recorded(const Effects& effects);
  void TakeEdits();
  void ShowState();
  void Perform(const Effects& effects);
  void FocusFormulaBox();

  // The formula box's caret (a selection's start) and selection length, in
  // characters. A button click takes the focus and Qt then drops the
  // selection, so the box's selection is kept as it was when it lost the focus.
  struct Selection {
    int caret = 0;
    int length = 0;
  };
  Selection FormulaBoxSelection() const;
  Selection LiveSelection() const;

  DesktopPlatform desktop_;
  Platform& platform_;

  FileAutoSave autoSave_;
  MainState state_;
  history::History history_;
  FileCommands files_;
  SecondaryWindows windows_;
  std::optional<VariableTable> shownTable_;  // the rows the list shows, once filled
  bool restoredOnce_ = false;
  bool lastActiveWasSecondary_ = false;
  Selection selectionAtFocusOut_;
  QString textAtFocusOut_;
  std::vector<QAction*> shortcuts_;  // the menu items with shortcut keys
  std::unique_ptr<QObject> applicationWatcher_;

  // The controls the commands use; their objectNames are the design's ids.
  QLabel* answerLine_ = nullptr;              // Label1
  QLabel* variableLabel_ = nullptr;           // Label2, the current variable's letter
  QComboBox* variableList_ = nullptr;         // Combo1
  QLineEdit* formulaBox_ = nullptr;           // Text2
  QLineEdit* startPointBox_ = nullptr;        // Text1, the start point of the Newton command
  QPushButton* solveButton_ = nullptr;        // Command38 "ﾆｭｰﾄﾝ"
  QFrame* functionHelp_ = nullptr;            // Picture1, the function help panel
  QLabel* functionHelpText_ = nullptr;        // Label6
  QPushButton* functionHelpClose_ = nullptr;  // Command42 "閉"
};

}  // namespace suusiki
