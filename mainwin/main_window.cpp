#include "mainwin/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenuBar>
#include <QHBoxLayout>
#include <QLayout>
#include <QToolButton>

#include "mainwin/file_messages.h"
#include "ui/fonts.h"
#include "mainwin/formula_box.h"
#include "help/help_windows.h"
#include "ui/pictures.h"
#include "ui/printing.h"
#include "ui/qt_text.h"
#include "series/arithmetic_window.h"
#include "series/geometric_window.h"
#include "solver/newton.h"
#include "mainwin/print_list.h"

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

QPushButton* Button(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                    int height) {
  auto* button = PlaceControl<QPushButton>(parent, name, left, top, width, height);
  button->setText(caption);
  button->setAutoDefault(false);
  return button;
}

QGroupBox* Frame(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                 int height) {
  auto* frame = PlaceControl<QGroupBox>(parent, name, left, top, width, height);
  frame->setTitle(caption);
  return frame;
}

// Character offsets of the engine from UTF-16 offsets of Qt, and back.
int CharsBefore(const QString& text, int utf16) {
  return static_cast<int>(text.left(utf16).toUcs4().size());
}
int Utf16Before(const QString& text, int chars) {
  return static_cast<int>(ToQString(FromQString(text).substr(0, static_cast<std::size_t>(chars))).size());
}

bool IsEnter(const QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

class MainWindow::ApplicationWatcher : public QObject {
 public:
  explicit ApplicationWatcher(MainWindow& window) : window_(window) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override { return window_.WatchApplication(watched, event); }

 private:
  MainWindow& window_;
};

MainWindow::MainWindow(const QString& autoSavePath, Platform platform, QWidget* parent)
    : QMainWindow(parent), autoSave_(autoSavePath), state_(&autoSave_), platform_(std::move(platform)) {
  if (platform_.beeper == nullptr) platform_.beeper = (ownBeeper_ = std::make_unique<SystemBeeper>()).get();
  if (platform_.prompter == nullptr) {
    platform_.prompter = (ownPrompter_ = std::make_unique<MessageBoxPrompter>(this)).get();
  }
  if (platform_.files == nullptr) platform_.files = (ownFiles_ = std::make_unique<DialogFileChooser>(this)).get();
  if (platform_.printer == nullptr) platform_.printer = (ownPrinter_ = std::make_unique<SystemPrinter>()).get();
  if (!platform_.startProgram) platform_.startProgram = StartDetached;
  if (!platform_.quit) {
    platform_.quit = [] {
      QApplication::closeAllWindows();
      QApplication::quit();
    };
  }
  setObjectName(QStringLiteral("SUUSIKI"));
  setWindowTitle(QStringLiteral(" ｶﾙﾒﾛ★★★"));
  setFont(WindowFont(kPGothic, 9));
  BuildControls();
  BuildMenus();
  layout()->setSizeConstraint(QLayout::SetFixedSize);  // the window keeps its size
  setWindowIcon(BuiltInToolbarPicture(4));
  SetAccessibleNames();
  applicationWatcher_ = std::make_unique<ApplicationWatcher>(*this);
  qApp->installEventFilter(applicationWatcher_.get());
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(applicationWatcher_.get());
  for (auto& [name, window] : windows_) delete window.data();
}

QPushButton* MainWindow::InsertButton(QWidget* parent, const QString& name, const QString& caption,
                                      const QString& insertion, int left, int top, int width, int height) {
  QPushButton* button = Button(parent, name, caption, left, top, width, height);
  connect(button, &QPushButton::clicked, this, [this, insertion] { Insert(insertion); });
  return button;
}

void MainWindow::BuildControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("client"));
  setCentralWidget(client);
  // The client area ends a little below the lowest frame.
  client->setFixedSize(Twips(5985), Twips(3255 + 165));

  BuildToolbar(Frame(client, QStringLiteral("Frame4"), QString(), 0, 0, 1760, 390));

  const QFont boldPGothic9 = WindowFont(kPGothic, 9, true);
  QPushButton* command39 = Button(client, QStringLiteral("Command39"), QStringLiteral("?"), 2640, 120, 255, 300);
  command39->setFont(boldPGothic9);
  connect(command39, &QPushButton::clicked, this, [this] { ShowWindow(QStringLiteral("READ1")); });
  command38_ = Button(client, QStringLiteral("Command38"), QStringLiteral("ﾆｭｰﾄﾝ"), 2880, 120, 855, 300);
  command38_->setFont(boldPGothic9);
  connect(command38_, &QPushButton::clicked, this, &MainWindow::Solve);
  PlaceControl<QLabel>(client, QStringLiteral("Label4"), 3860, 160, 555, 195)->setText(QStringLiteral("始点："));
  text1_ = PlaceControl<QLineEdit>(client, QStringLiteral("Text1"), 4440, 120, 1455, 270);
  text1_->setFont(WindowFont(kGothic, 9, true));
  text1_->installEventFilter(this);

  auto* label3 = PlaceControl<QLabel>(client, QStringLiteral("Label3"), 120, 560, 615, 255);
  label3->setText(QStringLiteral("Ans："));
  label3->setFont(WindowFont(kPGothic, 11.25, true));
  label1_ = PlaceControl<QLabel>(client, QStringLiteral("Label1"), 720, 520, 3735, 375);
  label1_->setFont(WindowFont(kGothic, 11.25, true));
  label1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label1_->setAutoFillBackground(true);
  label1_->setBackgroundRole(QPalette::Base);
  // The answer can be selected and copied; clicking it leaves the focus in
  // the formula box.
  label1_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label1_->setFocusPolicy(Qt::NoFocus);
  label1_->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* copy = new QAction(QStringLiteral("コピー"), label1_);
  copy->setObjectName(QStringLiteral("CopyAnswer"));
  connect(copy, &QAction::triggered, this, &MainWindow::CopyAnswer);
  label1_->addAction(copy);

  connect(Button(client, QStringLiteral("Command36"), QStringLiteral("DEL"), 4560, 520, 495, 320),
          &QPushButton::clicked, this, &MainWindow::Delete);
  connect(Button(client, QStringLiteral("Command35"), QStringLiteral("BS"), 5100, 520, 375, 320),
          &QPushButton::clicked, this, &MainWindow::Backspace);
  connect(Button(client, QStringLiteral("Command32"), QStringLiteral("CL"), 5520, 520, 375, 320),
          &QPushButton::clicked, this, &MainWindow::ClearEntry);

  label2_ = PlaceControl<QLabel>(client, QStringLiteral("Label2"), 120, 960, 375, 300);
  label2_->setFont(WindowFont(kGothic, 11.25, true));

  combo1_ = PlaceControl<QComboBox>(client, QStringLiteral("Combo1"), 480, 960, 3975, 300);
  combo1_->setFont(WindowFont(kGothic, 9));
  combo1_->setEditable(true);
  combo1_->setInsertPolicy(QComboBox::NoInsert);
  combo1_->setCompleter(nullptr);
  combo1_->setMaxVisibleItems(kVariableCount);
  combo1_->lineEdit()->installEventFilter(this);
  connect(combo1_, &QComboBox::activated, this, [this](int row) { Run([this, row] { return state_.SelectRow(row); }); });

  // The formula box lies over the list's edit field: the two look like one
  // field with the list's drop-down button at its right end.
  text2_ = PlaceControl<QLineEdit>(client, QStringLiteral("Text2"), 525, 1000, 3630, 195);
  text2_->setFont(WindowFont(kPGothic, 9.75, true));
  text2_->setFrame(false);
  text2_->setTextMargins(0, 0, 0, 0);
  text2_->installEventFilter(this);
  text2_->raise();

  connect(Button(client, QStringLiteral("Command1"), QStringLiteral("計算"), 4560, 960, 615, 320),
          &QPushButton::clicked, this, &MainWindow::Calculate);
  connect(Button(client, QStringLiteral("Command2"), QStringLiteral("終了"), 5280, 960, 615, 320),
          &QPushButton::clicked, this, &MainWindow::EndProgram);

  // Functions: three columns, four rows.
  QGroupBox* frame1 = Frame(client, QStringLiteral("Frame1"), QStringLiteral("関数"), 75, 1320, 1755, 1935);
  const struct {
    const char* name;
    const char* caption;
    const char* insertion;
    int left, top;
  } functions[] = {
      {"Command3", "Abs", "Abs(", 120, 240},   {"Command4", "Atn", "Atn(", 640, 240},
      {"Command5", "Cos", "Cos(", 1160, 240},  {"Command6", "Exp", "Exp(", 120, 640},
      {"Command7", "Fix", "Fix(", 640, 640},   {"Command8", "Int", "Int(", 1160, 640},
      {"Command9", "Log", "Log(", 120, 1050},  {"Command10", "Sin", "Sin(", 640, 1050},
      {"Command11", "Sqr", "Sqr(", 1160, 1050}, {"Command12", "Tan", "Tan(", 120, 1450},
      {"Command13", "Pi", "Pi", 640, 1450},
  };
  const QFont gothic9 = WindowFont(kGothic, 9);
  for (const auto& f : functions) {
    InsertButton(frame1, QString::fromLatin1(f.name), QString::fromLatin1(f.caption), QString::fromLatin1(f.insertion),
                 f.left, f.top, 495, 375)
        ->setFont(gothic9);
  }
  QPushButton* help = Button(frame1, QStringLiteral("Command41"), QStringLiteral("？"), 1160, 1450, 495, 375);
  help->setFont(WindowFont(kPGothic, 11.25, true));
  connect(help, &QPushButton::clicked, this, &MainWindow::ShowFunctionHelp);

  // The keypad: captions are full-width, the inserted texts plain ASCII.
  QGroupBox* frame2 = Frame(client, QStringLiteral("Frame2"), QString(), 1880, 1320, 2280, 1935);
  const struct {
    const char* name;
    const char* caption;
    const char* insertion;
    int left, top, width;
  } keys[] = {
      {"Command14", "７", "7", 120, 240, 375},  {"Command15", "８", "8", 520, 240, 375},
      {"Command16", "９", "9", 920, 240, 375},  {"Command17", "＊", "*", 1380, 240, 375},
      {"Command30", "（", "(", 1780, 240, 375}, {"Command18", "４", "4", 120, 640, 375},
      {"Command19", "５", "5", 520, 640, 375},  {"Command20", "６", "6", 920, 640, 375},
      {"Command21", "／", "/", 1380, 640, 375}, {"Command31", "）", ")", 1780, 640, 375},
      {"Command22", "１", "1", 120, 1050, 375}, {"Command23", "２", "2", 520, 1050, 375},
      {"Command24", "３", "3", 920, 1050, 375}, {"Command25", "－", "-", 1380, 1050, 375},
      {"Command28", "^", "^", 1780, 1050, 375}, {"Command26", "０", "0", 120, 1450, 760},
      {"Command27", ".", ".", 1380, 1450, 375}, {"Command29", "＋", "+", 1780, 1450, 375},
  };
  for (const auto& k : keys) {
    InsertButton(frame2, QString::fromLatin1(k.name), QString::fromUtf8(k.caption), QString::fromLatin1(k.insertion),
                 k.left, k.top, k.width, 375);
  }
  frame2->findChild<QPushButton*>(QStringLiteral("Command28"))->setFont(WindowFont(kGothic, 11.25));
  frame2->findChild<QPushButton*>(QStringLiteral("Command27"))->setFont(WindowFont(kMincho, 11.25, true));

  // Variables: rows of six, then Y, Z and the clear-all button.
  QGroupBox* frame3 = Frame(client, QStringLiteral("Frame3"), QStringLiteral("変数"), 4200, 1320, 1695, 1700);
  for (int k = 0; k < kVariableCount; ++k) {
    const QString letter(QChar(u'A' + k));
    InsertButton(frame3, QStringLiteral("Command33_%1").arg(k), letter, letter, 120 + 240 * (k % 6),
                 240 + 280 * (k / 6), 255, 255);
  }
  connect(Button(frame3, QStringLiteral("Command34"), QStringLiteral("変数ｸﾘｱ"), 720, 1360, 855, 255),
          &QPushButton::clicked, this, &MainWindow::ClearAll);

  // The function help panel, in front of what it overlaps, hidden at first.
  picture1_ = PlaceControl<QFrame>(client, QStringLiteral("Picture1"), 1800, 600, 4215, 2655);
  picture1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  picture1_->setAutoFillBackground(true);
  label6_ = PlaceControl<QLabel>(picture1_, QStringLiteral("Label6"), 60, 120, 4040, 2080);
  label6_->setFont(WindowFont(kGothic, 8));
  label6_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  command42_ = Button(picture1_, QStringLiteral("Command42"), QStringLiteral("閉"), 3600, 2280, 495, 255);
  connect(command42_, &QPushButton::clicked, this, &MainWindow::CloseFunctionHelp);
  picture1_->raise();
  picture1_->hide();
}

void MainWindow::SetAccessibleNames() {
  // What a screen reader says for each control whose caption is a symbol, a
  // Latin abbreviation or nothing at all.
  static const struct {
    const char* control;
    const char* name;
  } kNames[] = {
      {"Label1", "答え"},
      {"Label2", "現在の変数"},
      {"Text2", "数式"},
      {"Text1", "始点"},
      {"Combo1", "変数の一覧"},
      {"Command39", "ニュートン法の説明"},
      {"Command38", "ニュートン法で解く"},
      {"Command36", "後ろの文字を削除"},
      {"Command35", "前の文字を削除"},
      {"Command32", "数式を消去"},
      {"Command3", "絶対値 Abs"},
      {"Command4", "逆正接 Atn"},
      {"Command5", "余弦 Cos"},
      {"Command6", "指数関数 Exp"},
      {"Command7", "整数部分 Fix"},
      {"Command8", "整数部分（切り下げ） Int"},
      {"Command9", "自然対数 Log"},
      {"Command10", "正弦 Sin"},
      {"Command11", "平方根 Sqr"},
      {"Command12", "正接 Tan"},
      {"Command13", "円周率 Pi"},
      {"Command41", "関数の説明"},
      {"Command17", "掛ける"},
      {"Command21", "割る"},
      {"Command25", "引く"},
      {"Command29", "足す"},
      {"Command28", "べき乗"},
      {"Command27", "小数点"},
      {"Command30", "開きかっこ"},
      {"Command31", "閉じかっこ"},
      {"Command34", "変数をすべて消去"},
      {"Label6", "関数の説明"},
      {"Command42", "関数の説明を閉じる"},
  };
  for (const auto& n : kNames) {
    if (auto* widget = findChild<QWidget*>(QString::fromLatin1(n.control))) {
      widget->setAccessibleName(QString::fromUtf8(n.name));
    }
  }
  combo1_->lineEdit()->setAccessibleName(QStringLiteral("変数の定義"));
  for (int k = 0; k < kVariableCount; ++k) {
    findChild<QPushButton*>(QStringLiteral("Command33_%1").arg(k))
        ->setAccessibleName(QStringLiteral("変数 %1").arg(QChar(u'A' + k)));
  }
  menuBar()->setAccessibleName(QStringLiteral("メニュー"));
}

void MainWindow::BuildMenus() {
  const auto menu = [this](const char* name, const char* caption) {
    QMenu* m = menuBar()->addMenu(QString::fromUtf8(caption));
    m->setObjectName(QString::fromLatin1(name));
    return m;
  };
  const auto item = [this](QMenu* m, const char* name, const char* caption, QKeyCombination keys, auto command) {
    QAction* action = m->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(QKeySequence(keys));
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, command);
    shortcuts_.push_back(action);
  };
  const auto separator = [](QMenu* m, const char* name) { m->addSeparator()->setObjectName(QString::fromLatin1(name)); };

  QMenu* file = menu("M1", "ﾌｧｲﾙ(&F)");
  item(file, "M11", "ﾌｧｲﾙを開く(&O)", Qt::CTRL | Qt::Key_O, [this] { OpenFile(); });
  separator(file, "M12");
  item(file, "M13", "上書き保存(&S)", Qt::CTRL | Qt::Key_S, [this] { SaveFile(kMenuSaveFilter); });
  item(file, "M14", "名前を付けて保存(&A)", Qt::CTRL | Qt::Key_A, [this] { SaveFileAs(); });
  separator(file, "M15");
  item(file, "M16", "印刷(&P)", Qt::CTRL | Qt::Key_P, [this] { Print(); });
  separator(file, "M17");
  item(file, "M18", "終了(&X)", Qt::CTRL | Qt::Key_X, [this] { EndProgram(); });

  QMenu* tools = menu("M2", "ﾂｰﾙ(&T)");
  item(tools, "M21", "ソロバン(&D)", Qt::CTRL | Qt::Key_D, [this] { StartCompanion(); });
  separator(tools, "M23");
  item(tools, "M24", "等差数列の和(&S)", Qt::CTRL | Qt::Key_B, [this] { ShowWindow(QStringLiteral("TOSA")); });
  item(tools, "M25", "等比数列の和(&H)", Qt::CTRL | Qt::Key_C, [this] { ShowWindow(QStringLiteral("TOHI")); });

  QMenu* help = menu("M30", "ﾍﾙﾌﾟ(&H)");
  item(help, "M31", "ｶﾙﾒﾛの説明(&R)", Qt::CTRL | Qt::Key_R, [this] { ShowWindow(QStringLiteral("READ2")); });
  item(help, "M32", "ﾆｭｰﾄﾝ法の説明(&N)", Qt::CTRL | Qt::Key_N, [this] { ShowWindow(QStringLiteral("READ1")); });
  separator(help, "M33");
  item(help, "M34", "ﾊﾞｰｼﾞｮﾝ情報(&V)", Qt::CTRL | Qt::Key_V, [this] { ShowWindow(QStringLiteral("VER")); });
}

void MainWindow::BuildToolbar(QWidget* frame4) {
  // Five picture buttons side by side, small enough for the frame.
  auto* toolbar = new QWidget(frame4);
  toolbar->setObjectName(QStringLiteral("Toolbar1"));
  toolbar->setGeometry(frame4->rect().adjusted(2, 2, -2, -2));  // inside the frame's border
  auto* row = new QHBoxLayout(toolbar);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  static const char* const kTips[] = {"ﾌｧｲﾙを開く", "上書き保存", "印刷", "ソロバン", "説明"};
  for (int button = 1; button <= 5; ++button) {
    auto* action = new QAction(ToolbarPicture(button), QString(), toolbar);
    action->setObjectName(QStringLiteral("Toolbar1_%1").arg(button));
    action->setToolTip(QString::fromUtf8(kTips[button - 1]));
    connect(action, &QAction::triggered, this, [this, button] { ToolbarClick(button); });
    toolbar->addAction(action);
    auto* tool = new QToolButton(toolbar);
    tool->setDefaultAction(action);
    tool->setAccessibleName(action->toolTip());
    tool->setAutoRaise(true);
    tool->setIconSize(QSize(16, 16));
    tool->setFixedSize(22, 22);
    row->addWidget(tool);
  }
  row->addStretch();
}

void MainWindow::ToolbarClick(int button) {
  switch (button) {
    case 1: OpenFile(); break;
    case 2: SaveFile(kFileFilter); break;  // its save dialog shows "(*.0DT)"
    case 3: Print(); break;
    case 4: StartCompanion(); break;
    case 5: ShowWindow(QStringLiteral("READ2")); break;
    default: break;
  }
}

QWidget* MainWindow::ShowWindow(const QString& name) {
  QPointer<QWidget>& window = windows_[name];
  if (window.isNull()) {
    // Windows of their own, not owned by this one: each is activated by itself,
    // and coming back from it is what restores the table.
    if (name == QLatin1String("TOSA")) {
      window = new ArithmeticSeriesWindow(*platform_.beeper, [this] {
        show();
        raise();
        activateWindow();
      });
    } else if (name == QLatin1String("TOHI")) {
      window = new GeometricSeriesWindow(*platform_.beeper);
    } else if (name == QLatin1String("READ1")) {
      window = new NewtonHelpWindow();
    } else if (name == QLatin1String("READ2")) {
      window = new ProgramHelpWindow();
    } else if (name == QLatin1String("VER")) {
      window = new VersionWindow();
    } else {
      return nullptr;
    }
  }
  BringToFront(window);
  return window;
}

void MainWindow::StartCompanion() {
  const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/soroban");
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
  QString error;
  if (!platform_.printer->Print(lines, &error)) {
    // Never a silent nothing: say why, and offer the page as a PDF file.
    const QString offer = QStringLiteral("印刷できませんでした。\n%1\nPDF ファイルとして保存しますか？").arg(error);
    if (platform_.prompter->Ask(offer, kPrintTitle)) {
      const QString path = platform_.files->ChooseSave(QStringLiteral("PDF ﾌｧｲﾙ (*.pdf)|*.pdf"), QString());
      if (!path.isEmpty() && !platform_.printer->PrintToPdf(lines, path, &error)) {
        platform_.prompter->Tell(QStringLiteral("PDF ファイルに保存できませんでした。\n%1\n%2").arg(path, error),
                                 kPrintTitle, Prompter::Icon::Exclamation);
      }
    }
  }
  FocusFormulaBox();
}

bool MainWindow::WatchApplication(QObject* watched, QEvent* event) {
  // The window's shortcuts win over the text boxes' own keys (Ctrl+A selects
  // all in a box otherwise).
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
      lastActiveWasSecondary_ = IsSecondaryWindow(window);
    }
  }
  return false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == text2_ && event->type() == QEvent::FocusOut) {
    selectionAtFocusOut_ = LiveSelection();  // before the box drops its selection
    textAtFocusOut_ = text2_->text();
  }
  if (watched == text2_ && IsEnter(event)) {
    if (state_.current < 0) return false;
    Run([this] { return state_.EnterInFormulaBox(); });
    return true;
  }
  if (watched == text1_ && IsEnter(event)) {
    command38_->setFocus();  // Enter moves on to the button; nothing is calculated
    return true;
  }
  if (watched == combo1_->lineEdit() && IsEnter(event)) {
    Run([this] { return state_.EnterInList(); });
    return false;  // the key goes on to the list as well
  }
  return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::IsSecondaryWindow(const QWidget* window) {
  static const QStringList kNames = {QStringLiteral("TOSA"), QStringLiteral("TOHI"), QStringLiteral("READ1"),
                                     QStringLiteral("READ2"), QStringLiteral("VER")};
  return window != nullptr && kNames.contains(window->objectName());
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!restoredOnce_) {
    restoredOnce_ = true;
    RestoreAutoSave();
  }
}

MainWindow::Selection MainWindow::FormulaBoxSelection() const {
  if (!text2_->hasFocus() && text2_->text() == textAtFocusOut_) return selectionAtFocusOut_;
  return LiveSelection();
}

MainWindow::Selection MainWindow::LiveSelection() const {
  const QString text = text2_->text();
  if (!text2_->hasSelectedText()) return {CharsBefore(text, text2_->cursorPosition()), 0};
  const int start = text2_->selectionStart();
  return {CharsBefore(text, start), CharsBefore(text, start + text2_->selectionLength()) - CharsBefore(text, start)};
}

void MainWindow::KANYU() {
  const BoxEdit edit = InsertAtCaret(FromQString(text2_->text()), FormulaBoxSelection().caret, FromQString(insertionText));
  text2_->setText(ToQString(edit.text));
}

void MainWindow::Insert(const QString& text) {
  const int caret = FormulaBoxSelection().caret;
  insertionText = text;
  KANYU();
  text2_->setFocus();
  text2_->setCursorPosition(Utf16Before(text2_->text(), caret + static_cast<int>(text.toUcs4().size())));
}

void MainWindow::Backspace() {
  const BoxEdit edit = DeleteBeforeCaret(FromQString(text2_->text()), FormulaBoxSelection().caret);
  text2_->setText(ToQString(edit.text));
  text2_->setFocus();
  text2_->setCursorPosition(Utf16Before(text2_->text(), edit.caret));
}

void MainWindow::Delete() {
  const Selection selection = FormulaBoxSelection();
  const BoxEdit edit = DeleteAfterCaret(FromQString(text2_->text()), selection.caret, selection.length);
  text2_->setText(ToQString(edit.text));
  text2_->setFocus();
  text2_->setCursorPosition(Utf16Before(text2_->text(), edit.caret));
}

void MainWindow::ClearEntry() {
  text2_->clear();
  state_.formulaBox.clear();
  state_.listEdit.clear();
  combo1_->setEditText(QString());
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
  picture1_->show();
  label6_->setText(kFunctionHelp);
  command42_->setFocus();
}

void MainWindow::CloseFunctionHelp() {
  picture1_->hide();
  FocusFormulaBox();
}

void MainWindow::CopyAnswer() {
  QString text = label1_->hasSelectedText() ? label1_->selectedText() : label1_->text();
  if (text.endsWith(QLatin1Char(' '))) text.chop(1);
  QGuiApplication::clipboard()->setText(text);
}

void MainWindow::EndProgram() { platform_.quit(); }

void MainWindow::Calculate() {
  Run([this] { return state_.Calculate(); });
}

// The Newton command's view of the window: the one yield redraws the answer
// line, message boxes go through the window's prompter.
class WindowNewtonHost : public NewtonHost {
 public:
  explicit WindowNewtonHost(MainWindow& window) : window_(window) {}
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
    Text startPoint = FromQString(text1_->text());
    WindowNewtonHost host(*this);
    RunNewtonCommand(state_, startPoint, host);
    text1_->setText(ToQString(startPoint));
    Effects effects;
    effects.focus = Focus::FormulaBox;
    return effects;
  });
}

void MainWindow::TakeEdits() {
  state_.formulaBox = FromQString(text2_->text());
  state_.listEdit = FromQString(combo1_->lineEdit()->text());
}

void MainWindow::ShowState() {
  if (shownTable_ != state_.table) {
    QSignalBlocker blocker(combo1_);
    combo1_->clear();
    for (const Text& entry : state_.table) combo1_->addItem(ToQString(entry));
    shownTable_ = state_.table;
  }
  {
    QSignalBlocker blocker(combo1_);
    if (state_.current >= 0 && combo1_->currentIndex() != state_.current) combo1_->setCurrentIndex(state_.current);
    combo1_->setEditText(ToQString(state_.listEdit));
  }
  label1_->setText(ToQString(state_.answerLine));
  label2_->setText(ToQString(state_.variableLabel));
  const QString formula = ToQString(state_.formulaBox);
  if (text2_->text() != formula) text2_->setText(formula);
}

void MainWindow::Perform(const Effects& effects) {
  ShowState();
  if (effects.beep) platform_.beeper->Beep();
  if (effects.focus == Focus::FormulaBox) FocusFormulaBox();
  if (effects.focus == Focus::List) {
    combo1_->setFocus();
    combo1_->lineEdit()->end(false);
  }
  ReportAutoSaveFailure();
}

void MainWindow::FocusFormulaBox() {
  text2_->setFocus();
  text2_->end(false);
}

void MainWindow::ReportAutoSaveFailure() {
  if (autoSave_.TakeNewFailure()) {
    platform_.prompter->Tell(AutoSaveFailedMessage(autoSave_.path(), autoSave_.lastResult()), kCheck,
                             Prompter::Icon::Exclamation);
  }
}

void MainWindow::RestoreAutoSave() {
  text2_->setFocus();
  storage::FileResult problem;
  // While the last auto-save failed, the table in memory is newer than the file.
  if (!autoSave_.behind()) {
    VariableTable table = EmptyTable();
    storage::FileResult read = storage::ReadVariableFile(autoSave_.path(), table);
    if (read.status == storage::FileStatus::Missing) {
      // A missing file is written from the table in memory: 26 empty variables
      // at the first start, and nothing is lost if it vanished later.
      autoSave_.Save(state_.table);
      if (!autoSave_.behind()) {
        table = EmptyTable();
        read = storage::ReadVariableFile(autoSave_.path(), table);
      }
    }
    switch (read.status) {
      case storage::FileStatus::Ok: state_.table = table; break;
      case storage::FileStatus::Short:
      case storage::FileStatus::Malformed:
        state_.table = table;  // what could be read, the rest empty
        problem = read;
        break;
      case storage::FileStatus::Missing: break;  // could not be created: told below
      default: problem = read; break;             // unreadable: the table in memory stays
    }
  }
  state_.RefreshAfterLoading();
  ShowState();
  FocusFormulaBox();
  const bool repeated = problem.status == lastRestoreProblem_.status &&
                        problem.failedRecord == lastRestoreProblem_.failedRecord;
  lastRestoreProblem_ = problem;
  if (!problem.ok() && !repeated) {
    platform_.prompter->Tell(RestoreFailedMessage(autoSave_.path(), problem), kCheck, Prompter::Icon::Exclamation);
  }
  ReportAutoSaveFailure();
}

void MainWindow::OpenFile() {
  const QString path = platform_.files->ChooseOpen(kFileFilter, fileName_);
  if (path.isEmpty()) {
    FocusFormulaBox();
    return;
  }
  fileName_ = path;
  VariableTable table = EmptyTable();
  const storage::FileResult read = storage::ReadVariableFile(path, table);
  if (!read.ok()) {
    // Nothing of a file that can't be read whole replaces the table.
    platform_.prompter->Tell(OpenFailedMessage(path, read), kCheck, Prompter::Icon::Exclamation);
    FocusFormulaBox();
    return;
  }
  state_.table = table;
  state_.RefreshAfterLoading();
  state_.answerLine.clear();
  ShowState();
  FocusFormulaBox();
}

void MainWindow::SaveFile(const QString& saveFilter) {
  if (fileName_.isEmpty()) {
    const QString path = platform_.files->ChooseSave(saveFilter, fileName_);
    if (path.isEmpty()) return;
    fileName_ = path;
  }
  WriteTo(fileName_);
  FocusFormulaBox();
}

void MainWindow::SaveFileAs() {
  const QString path = platform_.files->ChooseSave(kFileFilter, fileName_);
  if (path.isEmpty()) return;
  fileName_ = path;
  WriteTo(path);
  FocusFormulaBox();
}

void MainWindow::WriteTo(const QString& path) {
  const storage::FileResult written = storage::WriteVariableFile(path, state_.table);
  if (!written.ok()) {
    platform_.prompter->Tell(SaveFailedMessage(path, written), kCheck, Prompter::Icon::Exclamation);
  }
}

}  // namespace suusiki
