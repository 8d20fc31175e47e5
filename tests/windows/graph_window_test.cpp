// SPDX-License-Identifier: GPL-3.0-or-later
// The window "グラフ": opened with Ctrl+G, moved with the mouse and the keys,
// the Newton steps drawn and listed, the picture saved and copied, and the
// main window's table never touched.
#include "graph/graph_window.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QTableWidget>
#include <QWheelEvent>
#include <functional>

#include "tests/windows/window_fixture.h"

namespace suusiki::testing {
namespace {

class GraphWindowTest : public WindowTest {
 protected:
  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == QLatin1String("GRAPH")) w->close();
    }
  }

  // Calculates `a` as A in the main window, types `start` into 始点 and
  // presses Ctrl+G.
  graph::GraphWindow* OpenGraph(const QString& a, const QString& start) {
    if (!window) Open();
    Define(a);
    Text1()->setText(start);
    Text2()->setFocus();
    QTest::keyClick(Text2(), Qt::Key_G, Qt::ControlModifier);
    graph::GraphWindow* graph = Graph();
    EXPECT_NE(graph, nullptr);
    if (graph != nullptr) {
      EXPECT_TRUE(QTest::qWaitForWindowActive(graph));
    }
    return graph;
  }
  void Define(const QString& a) const {
    Select(0);
    TypeFormula(a);
    PressEnter(Text2());
  }
  // The open graph windows.
  static QList<graph::GraphWindow*> Graphs() {
    QList<graph::GraphWindow*> graphs;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == QLatin1String("GRAPH") && w->isVisible()) graphs << qobject_cast<graph::GraphWindow*>(w);
    }
    return graphs;
  }
  static graph::GraphWindow* Graph() {
    const QList<graph::GraphWindow*> graphs = Graphs();
    return graphs.size() == 1 ? graphs.front() : nullptr;
  }
  static QWidget* Plot(graph::GraphWindow* graph) { return FindIn(graph, QStringLiteral("Plot")); }
  static QString Text(graph::GraphWindow* graph, const char* label) {
    return FindIn<QLabel>(graph, QString::fromLatin1(label))->text();
  }
  static QStringList Row(graph::GraphWindow* graph, int row) {
    auto* table = FindIn<QTableWidget>(graph, QStringLiteral("Steps"));
    QStringList cells;
    for (int c = 0; c < table->columnCount(); ++c) cells << table->item(row, c)->text();
    return cells;
  }
  static void Wheel(QWidget* plot, QPointF at, int angle) {
    QWheelEvent event(at, plot->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(plot, &event);
  }
  static void Drag(QWidget* plot, QPoint from, QPoint to) {
    QTest::mousePress(plot, Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, to, plot->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(plot, &move);
    QTest::mouseRelease(plot, Qt::LeftButton, Qt::NoModifier, to);
  }
};

TEST_F(GraphWindowTest, CtrlGOpensOneGraphWindow) {
  graph::GraphWindow* graph = OpenGraph(QStringLiteral("X^2-8*X+12"), QStringLiteral("10"));
  ASSERT_NE(graph, nullptr);
  EXPECT_EQ(graph->windowTitle(), QStringLiteral("グラフ"));
  EXPECT_EQ(Text(graph, "Equation"), QStringLiteral("A: X^2-8*X+12"));
  EXPECT_TRUE(Plot(graph)->hasFocus()) << "the keys move the plot at once";

  // Again from the main window, by the key and by the menu: the same window comes to the front.
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(Text1(), Qt::Key_G, Qt::ControlModifier);
  window->findChild<QAction*>(QStringLiteral("M26"))->trigger();
  EXPECT_EQ(Graphs(), QList<graph::GraphWindow*>{graph});
  EXPECT_TRUE(QTest::qWaitForWindowActive(graph));
  EXPECT_EQ(window->ShowWindow(SecondaryWindow::Graph), graph);
  EXPECT_EQ(WindowName(SecondaryWindow::Graph), QStringLiteral("GRAPH"));
}

TEST_F(GraphWindowTest, TheMouseAndTheKeysMoveTheView) {
  const struct {
    const char* what;
    std::function<void(QWidget*)> act;
    // The X range afterwards, from the first view -9 to 11, for a plot `w` pixels wide.
    std::function<graph::Range(double w)> x;
  } cases[] = {
      {"→", [](QWidget* p) { QTest::keyClick(p, Qt::Key_Right); },
       [](double) {
         return graph::Range{-7, 13};
       }},
      {"←", [](QWidget* p) { QTest::keyClick(p, Qt::Key_Left); },
       [](double) {
         return graph::Range{-11, 9};
       }},
      {"↑ leaves X", [](QWidget* p) { QTest::keyClick(p, Qt::Key_Up); },
       [](double) {
         return graph::Range{-9, 11};
       }},
      {"+", [](QWidget* p) { QTest::keyClick(p, Qt::Key_Plus); },
       [](double) {
         return graph::Range{-7, 9};
       }},
      {"−", [](QWidget* p) { QTest::keyClick(p, Qt::Key_Minus); },
       [](double) {
         return graph::Range{-11.5, 13.5};
       }},
      {"Home",
       [](QWidget* p) {
         QTest::keyClick(p, Qt::Key_Right);
         QTest::keyClick(p, Qt::Key_Minus);
         QTest::keyClick(p, Qt::Key_Home);
       },
       [](double) {
         return graph::Range{-9, 11};
       }},
      {"wheel up at the left edge", [](QWidget* p) { Wheel(p, QPointF(0, p->height() / 2.0), 120); },
       [](double) {
         return graph::Range{-9, 7};
       }},
      {"wheel down twice at the left edge", [](QWidget* p) { Wheel(p, QPointF(0, p->height() / 2.0), -240); },
       [](double) {
         return graph::Range{-9, -9 + 20 / 0.64};
       }},
      {"drag 60 pixels to the right", [](QWidget* p) { Drag(p, QPoint(100, 100), QPoint(160, 130)); },
       [](double w) {
         return graph::Range{-9 - 60 * 20 / w, 11 - 60 * 20 / w};
       }},
      {"double-click after a drag",
       [](QWidget* p) {
         Drag(p, QPoint(100, 100), QPoint(160, 130));
         QTest::mouseDClick(p, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
       },
       [](double) {
         return graph::Range{-9, 11};
       }},
  };
  graph::GraphWindow* graph = OpenGraph(QStringLiteral("X^2-2"), QString());
  ASSERT_NE(graph, nullptr);
  QWidget* plot = Plot(graph);
  for (const auto& c : cases) {
    graph->model().Home();
    c.act(plot);
    const graph::Range x = c.x(plot->width());
    EXPECT_NEAR(graph->model().xRange().low, x.low, 1e-9) << c.what;
    EXPECT_NEAR(graph->model().xRange().high, x.high, 1e-9) << c.what;
  }
  EXPECT_EQ(graph->model().width(), plot->width());
  EXPECT_EQ(graph->model().height(), plot->height());
}

TEST_F(GraphWindowTest, TheCursorsCoordinatesAreShown) {
  graph::GraphWindow* graph = OpenGraph(QStringLiteral("X^2-2"), QStringLiteral("1"));
  ASSERT_NE(graph, nullptr);
  QWidget* plot = Plot(graph);
  const QPoint at(plot->width() / 2, 10);
  QTest::mouseMove(plot, at);
  QMouseEvent move(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(plot, &move);
  EXPECT_TRUE(Text(graph, "Coordinates").startsWith(QStringLiteral("X = 1　Y = ")))
      << Text(graph, "Coordinates").toStdString();
  EXPECT_TRUE(Text(graph, "Coordinates").endsWith(QStringLiteral("A(X) = -1")))
      << Text(graph, "Coordinates").toStdString();
}

TEST_F(GraphWindowTest, TheNewtonButtonDrawsAndListsTheSteps) {
  graph::GraphWindow* graph = OpenGraph(QStringLiteral("X^2-8*X+12"), QStringLiteral("10"));
  ASSERT_NE(graph, nullptr);
  EXPECT_EQ(Text(graph, "Message"), QStringLiteral("「ニュートン法」を押すと、始点 10 からの各段階を描きます。"));
  QTest::mouseClick(FindIn<QPushButton>(graph, QStringLiteral("Newton")), Qt::LeftButton);

  auto* steps = FindIn<QTableWidget>(graph, QStringLiteral("Steps"));
  ASSERT_EQ(steps->rowCount(), 7) << "six steps and the root";
  EXPECT_EQ(Row(graph, 0), (QStringList{QStringLiteral("0"), QStringLiteral("10"), QStringLiteral("32")}));
  EXPECT_EQ(Row(graph, 6).at(0), QStringLiteral("6"));
  EXPECT_NEAR(Row(graph, 6).at(1).toDouble(), 6, 1e-5);
  EXPECT_EQ(Text(graph, "Message"), QStringLiteral("X=6.0（6 回の繰り返しで収束）"));
  EXPECT_EQ(graph->model().NewtonLines().size(), 7u);

  // The keys still move the plot after the button.
  QTest::keyClick(Plot(graph), Qt::Key_Home);
  EXPECT_EQ(steps->rowCount(), 7) << "moving the view keeps the steps";
}

TEST_F(GraphWindowTest, ItsNewtonRunEndsAsTheMainWindowsDoes) {
  const struct {
    const char* a;
    const char* start;
  } cases[] = {
      {"X^2-8*X+12", "10"}, {"X^2-8*X+12", ""}, {"X^2-2", "1"},
      {"Sin(X)-0.5", "10"}, {"X^2+1", "1"},  // the limit: 計算不能！
      {"X*0+1", "1"},                        // flat: 計算不能！
      {"x^2-4", "1"},                        // no X
      {"Tan(X)", "80"},
  };
  Open();
  for (const auto& c : cases) {
    graph::GraphWindow* graph = OpenGraph(QString::fromUtf8(c.a), QString::fromUtf8(c.start));
    ASSERT_NE(graph, nullptr);
    QTest::mouseClick(FindIn<QPushButton>(graph, QStringLiteral("Newton")), Qt::LeftButton);
    const graph::NewtonTrace trace = *graph->model().newton();

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    desktop.told.clear();
    Click("Command38");
    EXPECT_EQ(Label("Label1"), ToQString(trace.answerLine)) << c.a << " from " << c.start;
    EXPECT_EQ(desktop.told,
              trace.warning.empty() ? QStringList() : QStringList{QStringLiteral("Check|") + ToQString(trace.warning)})
        << c.a;
    EXPECT_EQ(Text1()->text(), ToQString(trace.start));
    graph->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // as the event loop would
  }
}

TEST_F(GraphWindowTest, ThePictureIsSavedAsPngOrSvg) {
  graph::GraphWindow* graph = OpenGraph(QStringLiteral("Tan(X)"), QStringLiteral("1"));
  ASSERT_NE(graph, nullptr);
  QWidget* plot = Plot(graph);
  const struct {
    const char* chosen;
    const char* written;  // nullptr: a message instead
    const char* format;
  } cases[] = {
      {"tan.png", "tan.png", "PNG"}, {"tan.svg", "tan.svg", "SVG"},
      {"TAN.SVG", "TAN.SVG", "SVG"}, {"plain", "plain.png", "PNG"},  // no ending: PNG
      {"tan.jpg", nullptr, nullptr}, {"missing/tan.png", nullptr, nullptr},
  };
  for (const auto& c : cases) {
    desktop.chosen = dir.filePath(QString::fromUtf8(c.chosen));
    desktop.told.clear();
    QTest::mouseClick(FindIn<QPushButton>(graph, QStringLiteral("Save")), Qt::LeftButton);
    EXPECT_EQ(desktop.dialogs.last().section(QLatin1Char('|'), 0, 2),
              QStringLiteral("save|グラフの画像 (*.png *.svg)|*.png *.svg"));
    if (c.written == nullptr) {
      ASSERT_EQ(desktop.told.size(), 1) << c.chosen;
      EXPECT_TRUE(desktop.told[0].startsWith(QStringLiteral("グラフ|グラフを保存できませんでした。"))) << c.chosen;
      continue;
    }
    EXPECT_TRUE(desktop.told.isEmpty()) << c.chosen;
    const QByteArray bytes = Read(dir.filePath(QString::fromUtf8(c.written)));
    ASSERT_FALSE(bytes.isEmpty()) << c.written;
    if (QLatin1String(c.format) == QLatin1String("PNG")) {
      const QImage image = QImage::fromData(bytes, "PNG");
      EXPECT_EQ(image.size(), plot->size()) << c.written;
    } else {
      EXPECT_TRUE(bytes.contains("<svg")) << c.written;
      EXPECT_TRUE(bytes.contains("<title>グラフ</title>")) << c.written;
      EXPECT_TRUE(bytes.contains("A: Tan(X)")) << c.written;
    }
  }
  // The dialog remembers the last name.
  EXPECT_TRUE(desktop.dialogs[1].endsWith(dir.filePath(QStringLiteral("tan.png")))) << desktop.dialogs[1].toStdString();
  desktop.chosen.clear();  // cancelled: nothing happens
  QTest::mouseClick(FindIn<QPushButton>(graph, QStringLiteral("Save")), Qt::LeftButton);
  EXPECT_TRUE(desktop.told.size() <= 1);
}

TEST_F(GraphWindowTest, ThePictureIsCopied) {
  graph::GraphWindow* graph = OpenGraph(QStringLiteral("X^2-2"), QStringLiteral("1"));
  ASSERT_NE(graph, nullptr);
  QGuiApplication::clipboard()->clear();
  QTest::mouseClick(FindIn<QPushButton>(graph, QStringLiteral("Copy")), Qt::LeftButton);
  const QImage image = QGuiApplication::clipboard()->image();
  EXPECT_EQ(image.size(), Plot(graph)->size());
  // The curve is drawn: the picture is not all white.
  bool coloured = false;
  for (int y = 0; y < image.height() && !coloured; y += 2) {
    for (int x = 0; x < image.width() && !coloured; x += 2) {
      const QColor c = image.pixelColor(x, y);
      coloured = c.blue() > c.red() + 80;
    }
  }
  EXPECT_TRUE(coloured);
}

TEST_F(GraphWindowTest, ComingBackFromTheGraphDoesNotRestoreTheTable) {
  const struct {
    SecondaryWindow other;
    bool restores;
  } cases[] = {
      {SecondaryWindow::Graph, false}, {SecondaryWindow::GeometricSeries, true},  // as every other window does
  };
  Write(DattPath(), FileWith({"A: 1"}));
  Open();
  for (const auto& c : cases) {
    QWidget* other = window->ShowWindow(c.other);
    ASSERT_TRUE(QTest::qWaitForWindowActive(other));
    VariableTable changed = window->state().table();  // as after an open
    changed[0] = U"A: changed in memory";
    window->state().LoadTable(changed);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(Entry(0), c.restores ? QStringLiteral("A: 1") : QStringLiteral("A: changed in memory"))
        << WindowName(c.other).toStdString();
    other->close();
  }
}

TEST_F(GraphWindowTest, NothingChangesInTheTable) {
  Write(DattPath(), FileWith({"A: X^2-8*X+12", "B: 58*3"}));
  Open();
  Select(1);
  Click("Command1");  // B is current, its value shown
  Text1()->setText(QStringLiteral("10"));
  const QByteArray file = Read(DattPath());
  const QStringList rows = Rows();
  const QStringList texts{Text2()->text(), Text1()->text(), Label("Label1"), Label("Label2")};
  const VariableTable table = window->state().table();
  ASSERT_EQ(texts[2], QStringLiteral("174. "));

  QTest::keyClick(Text2(), Qt::Key_G, Qt::ControlModifier);
  graph::GraphWindow* graph = Graph();
  ASSERT_NE(graph, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowActive(graph));
  QWidget* plot = Plot(graph);
  for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Plus, Qt::Key_Down, Qt::Key_Minus, Qt::Key_Home}) {
    QTest::keyClick(plot, key);
  }
  Wheel(plot, QPointF(200, 100), 360);
  Drag(plot, QPoint(300, 200), QPoint(250, 120));
  QTest::mouseClick(FindIn<QPushButton>(graph, QStringLiteral("Newton")), Qt::LeftButton);
  EXPECT_EQ(graph->model().newton()->answerLine, U"X=6.0 ") << "A, not B, from the start point";
  QTest::mouseClick(FindIn<QPushButton>(graph, QStringLiteral("Copy")), Qt::LeftButton);
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

  EXPECT_EQ(Read(DattPath()), file);
  EXPECT_EQ(Rows(), rows);
  EXPECT_EQ((QStringList{Text2()->text(), Text1()->text(), Label("Label1"), Label("Label2")}), texts);
  EXPECT_EQ(window->state().table(), table);
  EXPECT_EQ(window->state().current(), 1);
}

TEST_F(GraphWindowTest, TheCurveFollowsTheMainWindow) {
  graph::GraphWindow* graph = OpenGraph(QStringLiteral("X^2-2"), QStringLiteral("1"));
  ASSERT_NE(graph, nullptr);
  EXPECT_EQ(graph->model().curve().crossings.size(), 2u);
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

  Define(QStringLiteral("X-3"));
  EXPECT_EQ(Text(graph, "Equation"), QStringLiteral("A: X-3"));
  ASSERT_EQ(graph->model().curve().crossings.size(), 1u);
  EXPECT_NEAR(graph->model().curve().crossings[0], 3, 0.05);

  TypeFormula(QStringLiteral("X-5"));  // typed, not calculated: the graph waits
  EXPECT_EQ(Text(graph, "Equation"), QStringLiteral("A: X-3"));

  const struct {
    const char* a;
    const char* message;
  } withoutCurve[] = {
      {"", "変数Ａ欄が空です。方程式を X で入力して計算すると、グラフを描きます。"},
      {"5*2", "変数Ａ欄の式に X がありません。方程式を X で入力して計算すると、グラフを描きます。"},
  };
  for (const auto& c : withoutCurve) {
    Define(QString::fromUtf8(c.a));
    EXPECT_EQ(Text(graph, "Message"), QString::fromUtf8(c.message)) << c.a;
    EXPECT_TRUE(graph->model().CurveLines().empty()) << c.a;
    EXPECT_FALSE(graph->model().XTicks().empty()) << "the axes are drawn";
    QTest::mouseClick(FindIn<QPushButton>(graph, QStringLiteral("Newton")), Qt::LeftButton);
    EXPECT_EQ(FindIn<QTableWidget>(graph, QStringLiteral("Steps"))->rowCount(), 0) << c.a;
  }
}

}  // namespace
}  // namespace suusiki::testing
