// SPDX-License-Identifier: GPL-3.0-or-later
#include "soroban/soroban_window.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QBoxLayout>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <algorithm>

#include "soroban/board_view.h"

namespace suusiki::soroban {
namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QFont Scaled(QFont font, double factor, bool bold = false) {
  font.setPointSizeF(font.pointSizeF() * factor);
  font.setBold(bold);
  return font;
}

QLabel* Display(const char* name, const char* accessibleName, const QFont& font, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setAccessibleName(QString::fromUtf8(accessibleName));
  label->setFont(font);
  label->setMinimumHeight(QFontMetrics(font).height());
  return label;
}

// A list box as a screen reader should have it. On Linux Qt's own interface
// names a list box by its current item and never says the name given to it:
// the speed list would be "普通", not "速さ". This one says that name (the
// current item when it has none), has the current item as its value and the
// list of items as its child, and opens and closes the list.
class AccessibleListBox : public QAccessibleWidget {
 public:
  explicit AccessibleListBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value || (t == QAccessible::Name && box()->accessibleName().isEmpty())) {
      return box()->currentText();
    }
    return QAccessibleWidget::text(t);
  }
  int childCount() const override { return 1; }
  QAccessibleInterface* child(int index) const override {
    return index == 0 ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child != nullptr && child->object() == box()->view() ? 0 : -1;
  }
  QStringList actionNames() const override {
    return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action != showMenuAction() && action != pressAction()) {
      QAccessibleWidget::doAction(action);
    } else if (box()->view()->isVisible()) {
      box()->hidePopup();
    } else {
      box()->showPopup();
    }
  }

 private:
  QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
};

// The window is a window to a screen reader: Qt gives a plain QWidget the
// role of a client area, which AT-SPI calls a "filler". Its name is its title.
QAccessibleInterface* AccessibleInterfaceFor(const QString& className, QObject* object) {
  if (className == QLatin1String(SorobanWindow::staticMetaObject.className())) {
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
  }
  auto* box = qobject_cast<QComboBox*>(object);
  if (className == QLatin1String("QComboBox") && box != nullptr && !box->isEditable()) {
    return new AccessibleListBox(box);
  }
  return nullptr;
}

}  // namespace

SorobanWindow::SorobanWindow(QWidget* parent) : QWidget(parent) {
  // Before anything asks for the interfaces, which are made once per widget.
  // A factory installed again is not added twice.
  QAccessible::installFactory(AccessibleInterfaceFor);
  setObjectName(QStringLiteral("Soroban"));
  setWindowTitle(QStringLiteral("ソロバン"));
  // The controls are made in the order of the window's stacking.
  BuildDisplays();
  BuildBoard();
  LayOut(BuildControls());

  setTabOrder(board_, clear_);
  setTabOrder(clear_, speed_);
  for (QWidget* child : {static_cast<QWidget*>(board_), static_cast<QWidget*>(clear_), static_cast<QWidget*>(speed_)}) {
    child->installEventFilter(this);
  }
  timer_.setInterval(16);
  connect(&timer_, &QTimer::timeout, this, &SorobanWindow::Tick);

  ColourMessage();
  Refresh();
  board_->setFocus();
  resize(980, 430);
}

void SorobanWindow::BuildDisplays() {
  const QFont base = font();
  value_ = Display("Value", "ソロバンの値", Scaled(base, 2.2, true), this);
  value_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  value_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  value_->setAutoFillBackground(true);
  value_->setBackgroundRole(QPalette::Base);
  value_->setForegroundRole(QPalette::Text);
  value_->setContentsMargins(8, 2, 8, 2);
  entry_ = Display("Entry", "打っている数", Scaled(base, 1.5), this);
  entry_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  entry_->setContentsMargins(8, 0, 10, 0);
  move_ = Display("Move", "珠の動き", Scaled(base, 1.3, true), this);
  message_ = Display("Message", "メッセージ", Scaled(base, 1.1), this);
  message_->setWordWrap(true);
}

void SorobanWindow::BuildBoard() {
  board_ = new BoardView(calculator_, this);
  connect(board_, &BoardView::upperBeadClicked, this, [this](int rod) {
    calculator_.ClickUpperBead(rod);
    Refresh();
  });
  connect(board_, &BoardView::lowerBeadClicked, this, [this](int rod, int bead) {
    calculator_.ClickLowerBead(rod, bead);
    Refresh();
  });
  connect(board_, &BoardView::dotClicked, this, [this](int rod) {
    calculator_.ClickDot(rod);
    Refresh();
  });
}

QHBoxLayout* SorobanWindow::BuildControls() {
  clear_ = new QPushButton(QStringLiteral("ご破算"), this);
  clear_->setObjectName(QStringLiteral("Clear"));
  clear_->setAccessibleName(QStringLiteral("ご破算"));
  clear_->setToolTip(QStringLiteral("珠をすべて払います (Esc)"));
  clear_->setAutoDefault(true);  // Enter on the button presses it
  connect(clear_, &QPushButton::clicked, this, [this] {
    calculator_.Clear();
    Refresh();
  });

  speed_ = new QComboBox(this);
  speed_->setObjectName(QStringLiteral("Speed"));
  speed_->setAccessibleName(QStringLiteral("速さ"));
  speed_->addItem(QStringLiteral("遅い"), static_cast<int>(Speed::Slow));
  speed_->addItem(QStringLiteral("普通"), static_cast<int>(Speed::Normal));
  speed_->addItem(QStringLiteral("速い"), static_cast<int>(Speed::Fast));
  speed_->setCurrentIndex(1);
  auto* speedCaption = new QLabel(QStringLiteral("速さ(&S)："), this);
  speedCaption->setBuddy(speed_);

  auto* hint =
      new QLabel(QStringLiteral("数字と . で数を打ち、Enter で珠に置きます。+ か - のあとに数を打って Enter で、"
                                "珠を一つずつ動かして足し引きします。* と / は積と商を置きます。"
                                "Esc でご破算、Backspace で一字消し、Ctrl+C でコピー、Ctrl+V で貼り付け。"
                                "珠や定位点 (はりの点) をクリックしても動かせます。"),
                 this);
  hint->setObjectName(QStringLiteral("Hint"));
  hint->setWordWrap(true);
  hint->setFont(Scaled(font(), 0.9));
  hint->setForegroundRole(QPalette::PlaceholderText);

  auto* controls = new QHBoxLayout;
  controls->addWidget(clear_);
  controls->addSpacing(16);
  controls->addWidget(speedCaption);
  controls->addWidget(speed_);
  controls->addSpacing(16);
  controls->addWidget(hint, 1);

  return controls;
}

void SorobanWindow::LayOut(QHBoxLayout* controls) {
  auto* top = new QGridLayout;
  const auto caption = [this, top](const char* text, int row) {
    auto* label = new QLabel(QString::fromUtf8(text), this);
    top->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
  };
  caption("値：", 0);
  top->addWidget(value_, 0, 1);
  caption("入力：", 1);
  top->addWidget(entry_, 1, 1);
  caption("動き：", 2);
  top->addWidget(move_, 2, 1);
  top->setColumnStretch(1, 1);

  auto* column = new QVBoxLayout(this);
  column->addLayout(top);
  column->addWidget(message_);
  column->addWidget(board_, 1);
  column->addLayout(controls);
}

void SorobanWindow::keyPressEvent(QKeyEvent* event) {
  if (calculator_.animating()) {
    calculator_.Finish();
    Refresh();
  }
  if (!HandleKey(event)) QWidget::keyPressEvent(event);
}

bool SorobanWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    // Any key finishes the moves at once, then does what it always does. The
    // speed list would take digits for a search: they go to the calculator.
    if (calculator_.animating()) {
      calculator_.Finish();
      Refresh();
    }
    if (watched == speed_ && HandleKey(static_cast<QKeyEvent*>(event))) return true;
  }
  return QWidget::eventFilter(watched, event);
}

void SorobanWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) ColourMessage();
  QWidget::changeEvent(event);
}

bool SorobanWindow::HandleKey(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    QGuiApplication::clipboard()->setText(FromUtf8(calculator_.CopyText()));
    return true;
  }
  if (event->matches(QKeySequence::Paste)) {
    // Full-width digits and signs become ASCII ones.
    const QString text = QGuiApplication::clipboard()->text().normalized(QString::NormalizationForm_KC);
    calculator_.Paste(text.toStdString());
    Refresh();
    return true;
  }
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: calculator_.Enter(); break;
    case Qt::Key_Escape: calculator_.Clear(); break;
    case Qt::Key_Backspace: calculator_.Backspace(); break;
    case Qt::Key_Delete: calculator_.ClearEntry(); break;
    default: {
      if ((event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) return false;
      const QString text = event->text().normalized(QString::NormalizationForm_KC);
      if (text.size() != 1) return false;
      const char16_t c = text.at(0).unicode();
      if ((c >= u'0' && c <= u'9') || c == u'.') {
        calculator_.Type(static_cast<char>(c));
      } else if (c == u'+' || c == u'-' || c == u'*' || c == u'/') {
        calculator_.Operator(static_cast<char>(c));
      } else if (c == u'×' || c == u'÷') {
        calculator_.Operator(c == u'×' ? '*' : '/');
      } else if (c == u'=') {
        calculator_.Enter();
      } else {
        return false;
      }
    }
  }
  Refresh();
  return true;
}

void SorobanWindow::Refresh() {
  if (!calculator_.animating()) {
    timer_.stop();
    board_->SetProgress(1);
  } else if (!timer_.isActive()) {
    calculator_.Advance();
    clock_.start();
    board_->SetProgress(0);
    timer_.start();
  }
  const QString value = FromUtf8(calculator_.ValueText());
  value_->setText(value);
  value_->setAccessibleDescription(value);
  board_->setAccessibleDescription(
      QStringLiteral("値 %1、一の位は左から %2 本目のけた").arg(value).arg(calculator_.board().unitRod() + 1));
  entry_->setText(FromUtf8(calculator_.EntryText()));
  move_->setText(FromUtf8(calculator_.MoveText()));
  message_->setText(FromUtf8(calculator_.message()));
  board_->update();
}

void SorobanWindow::Tick() {
  const Speed speed = static_cast<Speed>(speed_->currentData().toInt());
  const qint64 interval = MoveMilliseconds(speed);
  const qint64 elapsed = clock_.elapsed();
  if (elapsed >= interval) {
    calculator_.Advance();
    clock_.restart();
    board_->SetProgress(0);
    Refresh();
    return;
  }
  // The beads slide during the first part of a move's time, then rest there.
  board_->SetProgress(static_cast<double>(elapsed) / std::min<qint64>(interval / 2, 400));
}

void SorobanWindow::ColourMessage() {
  // Red that reads on the window's background, light or dark.
  const bool dark = palette().color(QPalette::Window).lightness() < 128;
  QPalette colours = message_->palette();
  colours.setColor(QPalette::WindowText, dark ? QColor(255, 140, 120) : QColor(176, 24, 0));
  message_->setPalette(colours);
}

}  // namespace suusiki::soroban
