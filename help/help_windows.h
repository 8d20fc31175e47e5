// SPDX-License-Identifier: GPL-3.0-or-later
// The help windows READ1 (Newton's method) and READ2 (the program), and the
// version window VER. Each deletes itself when closed.
#pragma once

#include <QString>
#include <QWidget>

class QPlainTextEdit;

namespace suusiki {

// The full-width form of printable ASCII text: "2.42" becomes "２．４２".
QString FullWidth(const QString& ascii);

// The fixed help texts: every line, the last included, ends with CR LF.
QString NewtonHelpText();
QString ProgramHelpText();

// A window that shows a fixed text in the box Text1, built anew each time the
// window becomes active, with the button Command1 "閉じる" below it.
class HelpTextWindow : public QWidget {
  Q_OBJECT

 public:
  // The text last built and put in the box.
  const QString& text() const { return text_; }

 protected:
  struct Layout {
    const char* name;
    QString caption;
    int clientWidth, clientHeight;  // twips, as the positions below
    int boxWidth, boxHeight;        // the box Text1 at 120, 120
    int buttonLeft, buttonTop;      // the button, 855 by 375
  };
  HelpTextWindow(const Layout& layout, QString (*build)(), QWidget* parent);

  bool event(QEvent* event) override;

 private:
  void Fill();

  QString (*build_)();
  QString text_;
  QPlainTextEdit* text1_ = nullptr;
};

// READ1, "ニュートン法".
class NewtonHelpWindow : public HelpTextWindow {
  Q_OBJECT

 public:
  explicit NewtonHelpWindow(QWidget* parent = nullptr);
};

// READ2, "カルメロの説明".
class ProgramHelpWindow : public HelpTextWindow {
  Q_OBJECT

 public:
  explicit ProgramHelpWindow(QWidget* parent = nullptr);
};

// VER, "ﾊﾞｰｼﾞｮﾝ情報": the version and a button "閉じる".
class VersionWindow : public QWidget {
  Q_OBJECT

 public:
  explicit VersionWindow(QWidget* parent = nullptr);
};

}  // namespace suusiki
