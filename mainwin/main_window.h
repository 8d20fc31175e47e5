// The main window SUUSIKI. It shows the texts of the engine's MainState in its
// controls and forwards clicks and keys to the commands of that state.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>

#include "engine/main_state.h"
#include "mainwin/file_auto_save.h"
#include "mainwin/platform.h"

namespace suusiki {

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `autoSavePath` is where the variable table is written after every change.
  explicit MainWindow(const QString& autoSavePath, Beeper* beeper = nullptr, QWidget* parent = nullptr);

  MainState& state() { return state_; }
  const FileAutoSave& autoSave() const { return autoSave_; }

  // The calculate command (the button "計算").
  void Calculate();

 private:
  void BuildControls();
  void ShowState();
  void Perform(const Effects& effects);

  FileAutoSave autoSave_;
  MainState state_;
  SystemBeeper systemBeeper_;
  Beeper* beeper_;

  QLabel* label1_ = nullptr;       // the answer line
  QLineEdit* text2_ = nullptr;     // the formula box
  QPushButton* command1_ = nullptr;  // "計算"
};

}  // namespace suusiki
