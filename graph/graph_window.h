// SPDX-License-Identifier: GPL-3.0-or-later
// The window "グラフ" (GRAPH): y = A(X) around the start point, and Newton's
// method drawn step by step. It reads the main window's state and start point
// but never writes them: it calculates on a private copy. It deletes itself
// when closed.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "engine/main_state.h"
#include "graph/graph_model.h"

class QImage;
class QLabel;
class QPushButton;
class QTableWidget;

namespace suusiki {

struct Platform;

// What the graph reads from the main window.
struct GraphSource {
  std::function<const MainState&()> state;  // the main window's state
  std::function<Text()> startPoint;         // the text of the start-point box "始点："
};

namespace graph {

class PlotView;

class GraphWindow : public QWidget {
  Q_OBJECT

 public:
  // The filter of the save dialog: PNG or SVG, told apart by the name's end.
  static inline const QString kPictureFilter = QStringLiteral("グラフの画像 (*.png *.svg)|*.png *.svg");

  // `platform` gives the save dialog and the message boxes; it must outlive the window.
  GraphWindow(GraphSource source, const Platform& platform, QWidget* parent = nullptr);
  ~GraphWindow() override;

  // Reads the definitions and the start point again and redraws: the main
  // window calls this after each of its commands.
  void Reread();
  // The button "ニュートン法": the Newton command from the start point, on a
  // private copy, drawn and listed.
  void RunNewton();
  // Asks for a file name and writes the picture: SVG for a name ending in
  // ".svg", PNG otherwise (".png" is added to a name without an ending).
  void SavePicture();
  // Puts the picture on the clipboard.
  void CopyPicture();
  // The plot as a picture, as it is shown.
  QImage Picture();
  // Writes the picture to `path`; false, with the reason, when it can't.
  bool WritePicture(const QString& path, QString* error);

  GraphModel& model() { return model_; }

 private:
  // The buttons below the plot: "保存", "コピー" and "閉じる".
  struct ButtonRow {
    QPushButton* save;
    QPushButton* copy;
    QPushButton* close;
  };
  void LayOut(const ButtonRow& buttons);
  void SetAccessibleNames(const ButtonRow& buttons);
  void ShowModel();

  GraphSource source_;
  const Platform& platform_;
  GraphModel model_;
  QString savedName_;  // the save dialog's remembered name
  std::vector<StepRow> shownRows_;

  QLabel* equation_ = nullptr;
  PlotView* plot_ = nullptr;
  QLabel* coordinates_ = nullptr;
  QLabel* message_ = nullptr;
  QPushButton* newton_ = nullptr;
  QTableWidget* steps_ = nullptr;
};

}  // namespace graph
}  // namespace suusiki
