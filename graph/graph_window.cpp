// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/graph_window.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

#include "graph/graph_painter.h"
#include "ui/fonts.h"
#include "ui/output.h"
#include "ui/platform.h"
#include "ui/qt_text.h"

namespace suusiki::graph {
namespace {

const QString kTitle = QStringLiteral("グラフ");

// One notch of the wheel, one press of + or −: a fifth closer, or back.
constexpr double kZoomIn = 0.8;
constexpr double kZoomOut = 1 / kZoomIn;
constexpr int kWheelNotch = 120;

// A button of the window; it never becomes a default button that Enter presses.
QPushButton* Button(QWidget* parent, const QString& name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

// The list of Newton's steps: n, X and A(X), one row a step, read only.
QTableWidget* StepsTable(QWidget* parent) {
  auto* steps = new QTableWidget(0, 3, parent);
  steps->setObjectName(QStringLiteral("Steps"));
  steps->setHorizontalHeaderLabels({QStringLiteral("n"), QStringLiteral("X"), QStringLiteral("A(X)")});
  steps->verticalHeader()->hide();
  steps->verticalHeader()->setDefaultSectionSize(steps->fontMetrics().height() + 6);
  steps->setEditTriggers(QAbstractItemView::NoEditTriggers);
  steps->setSelectionBehavior(QAbstractItemView::SelectRows);
  steps->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  steps->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  steps->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
  steps->setMinimumWidth(320);
  return steps;
}

}  // namespace

// The plot: draws the model and turns the mouse and the keys into moves of the view.
class PlotView : public QWidget {
 public:
  PlotView(GraphModel& model, std::function<void()> moved, QWidget* parent)
      : QWidget(parent), model_(model), moved_(std::move(moved)) {
    setObjectName(QStringLiteral("Plot"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(600, 400);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setCursor(Qt::CrossCursor);
  }

  // Where the mouse is over the plot; nothing when it is elsewhere.
  std::optional<QPointF> mouse() const { return mouse_; }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    PaintGraph(painter, model_, font());
    if (hasFocus()) {
      painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
      painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
  }
  void resizeEvent(QResizeEvent* event) override {
    model_.Resize(width(), height());
    QWidget::resizeEvent(event);
  }
  void wheelEvent(QWheelEvent* event) override {
    const double notches = event->angleDelta().y() / static_cast<double>(kWheelNotch);
    if (notches != 0) {
      model_.ZoomAt(event->position().x(), event->position().y(), std::pow(kZoomIn, notches));
      Moved(event->position());
    }
    event->accept();
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    dragFrom_ = event->position();
    setCursor(Qt::ClosedHandCursor);
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (dragFrom_ && (event->buttons() & Qt::LeftButton) != 0) {
      const QPointF by = event->position() - *dragFrom_;
      model_.Drag(by.x(), by.y());
      dragFrom_ = event->position();
    }
    Moved(event->position());
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    dragFrom_.reset();
    setCursor(Qt::CrossCursor);
  }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    model_.Home();
    Moved(event->position());
  }
  void leaveEvent(QEvent* event) override {
    mouse_.reset();
    moved_();
    QWidget::leaveEvent(event);
  }
  void keyPressEvent(QKeyEvent* event) override {
    switch (event->key()) {
      case Qt::Key_Left: model_.Step(-1, 0); break;
      case Qt::Key_Right: model_.Step(1, 0); break;
      case Qt::Key_Up: model_.Step(0, 1); break;
      case Qt::Key_Down: model_.Step(0, -1); break;
      case Qt::Key_Plus:
      case Qt::Key_Equal: model_.Zoom(kZoomIn); break;
      case Qt::Key_Minus: model_.Zoom(kZoomOut); break;
      case Qt::Key_Home: model_.Home(); break;
      default: return QWidget::keyPressEvent(event);
    }
    update();
    moved_();
  }

 private:
  void Moved(QPointF at) {
    mouse_ = at;
    update();
    moved_();
  }

  GraphModel& model_;
  std::function<void()> moved_;
  std::optional<QPointF> dragFrom_;
  std::optional<QPointF> mouse_;
};

GraphWindow::GraphWindow(GraphSource source, const Platform& platform, QWidget* parent)
    : QWidget(parent), source_(std::move(source)), platform_(platform) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(QStringLiteral("GRAPH"));
  setWindowTitle(kTitle);
  setFont(WindowFont(kPGothic, 9));

  equation_ = new QLabel(this);
  equation_->setObjectName(QStringLiteral("Equation"));
  equation_->setFont(WindowFont(kGothic, 11.25, true));
  equation_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  plot_ = new PlotView(
      model_, [this] { ShowModel(); }, this);

  newton_ = Button(this, QStringLiteral("Newton"), QStringLiteral("ニュートン法(&N)"));
  connect(newton_, &QPushButton::clicked, this, &GraphWindow::RunNewton);
  steps_ = StepsTable(this);

  coordinates_ = new QLabel(this);
  coordinates_->setObjectName(QStringLiteral("Coordinates"));
  coordinates_->setFont(WindowFont(kGothic, 9));
  message_ = new QLabel(this);
  message_->setObjectName(QStringLiteral("Message"));
  message_->setWordWrap(true);
  message_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  const ButtonRow buttons{Button(this, QStringLiteral("Save"), QStringLiteral("保存(&S)…")),
                          Button(this, QStringLiteral("Copy"), QStringLiteral("コピー(&C)")),
                          Button(this, QStringLiteral("Close"), QStringLiteral("閉じる"))};
  connect(buttons.save, &QPushButton::clicked, this, &GraphWindow::SavePicture);
  connect(buttons.copy, &QPushButton::clicked, this, &GraphWindow::CopyPicture);
  connect(buttons.close, &QPushButton::clicked, this, &QWidget::close);

  LayOut(buttons);
  SetAccessibleNames(buttons);
  setTabOrder(plot_, newton_);
  setTabOrder(newton_, steps_);
  setTabOrder(steps_, buttons.save);
  setTabOrder(buttons.save, buttons.copy);
  setTabOrder(buttons.copy, buttons.close);
  plot_->setFocus();
  Reread();
}

void GraphWindow::LayOut(const ButtonRow& buttons) {
  auto* side = new QVBoxLayout;
  side->addWidget(newton_);
  side->addWidget(steps_);
  auto* middle = new QHBoxLayout;
  middle->addWidget(plot_, 1);
  middle->addLayout(side);
  auto* row = new QHBoxLayout;
  row->addWidget(buttons.save);
  row->addWidget(buttons.copy);
  row->addStretch();
  row->addWidget(buttons.close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(equation_);
  layout->addLayout(middle, 1);
  layout->addWidget(coordinates_);
  layout->addWidget(message_);
  layout->addLayout(row);
}

void GraphWindow::SetAccessibleNames(const ButtonRow& buttons) {
  // What a screen reader says for each control.
  plot_->setAccessibleName(QStringLiteral("グラフ"));
  plot_->setAccessibleDescription(
      QStringLiteral("矢印キーで移動、＋と－で拡大と縮小、Home キーで最初の表示に戻ります。"));
  equation_->setAccessibleName(QStringLiteral("方程式"));
  coordinates_->setAccessibleName(QStringLiteral("カーソルの座標"));
  message_->setAccessibleName(QStringLiteral("メッセージ"));
  newton_->setAccessibleName(QStringLiteral("ニュートン法の各段階を描く"));
  steps_->setAccessibleName(QStringLiteral("ニュートン法の各段階"));
  buttons.save->setAccessibleName(QStringLiteral("画像として保存"));
  buttons.copy->setAccessibleName(QStringLiteral("画像をクリップボードにコピー"));
  buttons.close->setAccessibleName(QStringLiteral("グラフを閉じる"));
}

GraphWindow::~GraphWindow() = default;

void GraphWindow::Reread() {
  model_.Read(source_.state(), source_.startPoint());
  ShowModel();
}

void GraphWindow::RunNewton() {
  Reread();
  model_.RunNewton(source_.startPoint());
  ShowModel();
}

void GraphWindow::ShowModel() {
  equation_->setText(ToQString(model_.Equation()));
  message_->setText(ToQString(model_.Message()));
  const std::optional<QPointF> mouse = plot_->mouse();
  coordinates_->setText(mouse ? ToQString(model_.CoordinatesAt(mouse->x(), mouse->y())) : QString());

  const std::vector<StepRow> rows = model_.NewtonRows();
  if (steps_->rowCount() != static_cast<int>(rows.size()) || shownRows_ != rows) {
    steps_->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const int row = static_cast<int>(r);
      int column = 0;
      for (const Text* text : {&rows[r].n, &rows[r].x, &rows[r].ax}) {
        auto* item = new QTableWidgetItem(ToQString(*text));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        steps_->setItem(row, column++, item);
      }
    }
    shownRows_ = rows;
  }
  plot_->update();
}

QImage GraphWindow::Picture() {
  QImage image(model_.width(), model_.height(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter painter(&image);
  PaintGraph(painter, model_, plot_->font());
  return image;
}

bool GraphWindow::WritePicture(const QString& path, QString* error) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("svg")) {
    const output::Functions* output = output::Load(error);
    if (output == nullptr) return false;
    const auto paint = [this](QPainter& painter) { PaintGraph(painter, model_, plot_->font()); };
    if (!output->writeSvg(path, QSize(model_.width(), model_.height()), kTitle, ToQString(model_.Equation()), paint,
                          error)) {
      return false;
    }
    if (QFileInfo(path).size() == 0) {
      *error = QStringLiteral("ファイルを書けません。");
      return false;
    }
    return true;
  }
  if (suffix != QLatin1String("png")) {
    *error = QStringLiteral("名前の終わりを .png か .svg にしてください。");
    return false;
  }
  if (!Picture().save(path, "PNG")) {
    *error = QStringLiteral("ファイルを書けません。");
    return false;
  }
  return true;
}

void GraphWindow::SavePicture() {
  QString path = platform_.files->ChooseSave(kPictureFilter, savedName_);
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".png");
  savedName_ = path;
  QString error;
  if (!WritePicture(path, &error)) {
    platform_.prompter->Tell(QStringLiteral("グラフを保存できませんでした。\n%1\n%2").arg(path, error), kTitle,
                             Prompter::Icon::Exclamation);
  }
}

void GraphWindow::CopyPicture() { QGuiApplication::clipboard()->setImage(Picture()); }

}  // namespace suusiki::graph
