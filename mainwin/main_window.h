// The main window SUUSIKI. It shows the texts of the engine's MainState in its
// controls, forwards clicks and keys to the commands of that state, and does
// what the commands ask for: a beep, the focus, a message box.
#pragma once

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "engine/main_state.h"
#include "storage/file_auto_save.h"
#include "ui/platform.h"

class QAction;

namespace suusiki {

class MainWindow : public QMainWindow {
  Q_OBJECT
  friend class WindowNewtonHost;

 public:
  // `autoSavePath` is the auto-save file DATT.0DT. The table is read from it
  // when the window is first shown.
  explicit MainWindow(const QString& autoSavePath, Platform platform = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  MainState& state() { return state_; }
  const FileAutoSave& autoSave() const { return autoSave_; }

  // The text that the next KANYU inserts.
  QString insertionText;
  // Inserts the insertion text into the formula box at its caret. Neither the
  // caret nor the focus moves; every caller does that.
  void KANYU();

  void Calculate();
  // The Newton command (the button "ﾆｭｰﾄﾝ") from the start point in Text1.
  void Solve();
  // Reads the variable table from DATT.0DT and shows A. Runs when the window is
  // first shown and whenever the user comes back to it from one of the
  // program's other windows.
  void RestoreAutoSave();

  // The file commands. The save command's dialog, when it needs one, uses
  // `saveFilter`: the menu's and the toolbar's differ.
  void OpenFile();
  void SaveFile(const QString& saveFilter);
  void SaveFileAs();
  const QString& rememberedFileName() const { return fileName_; }

  // Prints the variable list after asking.
  void Print();
  // Starts the companion calculator "soroban" from the program's folder.
  void StartCompanion();
  // Shows one of the program's other windows (TOSA, TOHI, READ1, READ2, VER):
  // made when it isn't open, otherwise brought to the front. Returns it.
  QWidget* ShowWindow(const QString& name);
  // A click on toolbar button 1 to 5.
  void ToolbarClick(int button);

  static inline const QString kFileFilter = QStringLiteral("数式ﾌｧｲﾙ (*.0DT)|*.0DT");
  static inline const QString kMenuSaveFilter = QStringLiteral("数式ﾌｧｲﾙ (*.)|*.0DT");

  // True for the program's secondary windows (TOSA, TOHI, READ1, READ2, VER):
  // coming back from one of them restores the table.
  static bool IsSecondaryWindow(const QWidget* window);

  // Puts the answer line on the clipboard without its trailing space (the
  // selected part of it, when there is one).
  void CopyAnswer();

 protected:
  // Enter and the focus in the formula box, the start point box and the
  // list's edit field.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  class ApplicationWatcher;
  // Events of the whole application: the shortcut keys in this window's boxes,
  // and which window was active before this one.
  bool WatchApplication(QObject* watched, QEvent* event);
  void SetAccessibleNames();
  void BuildControls();
  void BuildMenus();
  void BuildToolbar(QWidget* frame4);
  QPushButton* InsertButton(QWidget* parent, const QString& name, const QString& caption, const QString& insertion,
                            int left, int top, int width, int height);
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
  void TakeEdits();
  void ShowState();
  void Perform(const Effects& effects);
  void FocusFormulaBox();
  void ReportAutoSaveFailure();
  void WriteTo(const QString& path);
  // The formula box's caret (a selection's start) and selection length, in
  // characters. A button click takes the focus and Qt then drops the
  // selection, so the box's selection is kept as it was when it lost the focus.
  struct Selection {
    int caret = 0;
    int length = 0;
  };
  Selection FormulaBoxSelection() const;
  Selection LiveSelection() const;

  FileAutoSave autoSave_;
  MainState state_;
  std::optional<VariableTable> shownTable_;  // the rows the list shows, once filled
  bool restoredOnce_ = false;
  bool lastActiveWasSecondary_ = false;
  QString fileName_;  // the file dialog's remembered name
  storage::FileResult lastRestoreProblem_;
  Selection selectionAtFocusOut_;
  QString textAtFocusOut_;

  std::unique_ptr<Beeper> ownBeeper_;
  std::unique_ptr<Prompter> ownPrompter_;
  std::unique_ptr<FileChooser> ownFiles_;
  std::unique_ptr<Printer> ownPrinter_;
  std::vector<QAction*> shortcuts_;  // the menu items with shortcut keys
  std::map<QString, QPointer<QWidget>> windows_;
  Platform platform_;
  std::unique_ptr<QObject> applicationWatcher_;

  QLabel* label1_ = nullptr;       // the answer line
  QLabel* label2_ = nullptr;       // the current variable's letter
  QComboBox* combo1_ = nullptr;    // the variable list
  QLineEdit* text2_ = nullptr;     // the formula box
  QLineEdit* text1_ = nullptr;     // the start point of the Newton command
  QPushButton* command38_ = nullptr;  // "ﾆｭｰﾄﾝ"
  QFrame* picture1_ = nullptr;     // the function help panel
  QLabel* label6_ = nullptr;
  QPushButton* command42_ = nullptr;
};

}  // namespace suusiki
