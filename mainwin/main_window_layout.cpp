// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls, menus and toolbar: their places in twips, their
// captions, fonts and accessible names, and the commands they are bound to.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>

#include "engine/functions.h"
#include "mainwin/main_window.h"
#include "ui/fonts.h"
#include "ui/pictures.h"

// Each control carries its name of the program's first version (Command1,
// Text2, ...) as its object name: docs/control-ids.md lists them.
namespace suusiki {
namespace {

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

}  // namespace

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

  // The order in which the controls are made is the order of Tab and of
  // their stacking: keep it.
  BuildToolbar(Frame(client, QStringLiteral("Frame4"), QString(), 0, 0, 1760, 390));
  BuildNewtonRow(client);
  BuildAnswerRow(client);
  BuildFormulaRow(client);
  BuildFunctionKeys(client);
  BuildKeypad(client);
  BuildVariableKeys(client);
  BuildFunctionHelp(client);
}

// The Newton command's row: its help, its button and the start point.
void MainWindow::BuildNewtonRow(QWidget* client) {
  const QFont boldPGothic9 = WindowFont(kPGothic, 9, true);
  QPushButton* command39 = Button(client, QStringLiteral("Command39"), QStringLiteral("?"), 2640, 120, 255, 300);
  command39->setFont(boldPGothic9);
  connect(command39, &QPushButton::clicked, this, [this] { ShowWindow(SecondaryWindow::NewtonHelp); });
  solveButton_ = Button(client, QStringLiteral("Command38"), QStringLiteral("ﾆｭｰﾄﾝ"), 2880, 120, 855, 300);
  solveButton_->setFont(boldPGothic9);
  connect(solveButton_, &QPushButton::clicked, this, &MainWindow::Solve);
  PlaceControl<QLabel>(client, QStringLiteral("Label4"), 3860, 160, 555, 195)->setText(QStringLiteral("始点："));
  startPointBox_ = PlaceControl<QLineEdit>(client, QStringLiteral("Text1"), 4440, 120, 1455, 270);
  startPointBox_->setFont(WindowFont(kGothic, 9, true));
  startPointBox_->installEventFilter(this);
  // The graph is drawn around the start point: it follows the box as it is typed.
  connect(startPointBox_, &QLineEdit::textChanged, this, [this] { windows_.StateChanged(); });
}

// The answer line, with its copy command, and the editing buttons beside it.
void MainWindow::BuildAnswerRow(QWidget* client) {
  auto* label3 = PlaceControl<QLabel>(client, QStringLiteral("Label3"), 120, 560, 615, 255);
  label3->setText(QStringLiteral("Ans："));
  label3->setFont(WindowFont(kPGothic, 11.25, true));
  answerLine_ = PlaceControl<QLabel>(client, QStringLiteral("Label1"), 720, 520, 3735, 375);
  answerLine_->setFont(WindowFont(kGothic, 11.25, true));
  answerLine_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  answerLine_->setAutoFillBackground(true);
  answerLine_->setBackgroundRole(QPalette::Base);
  // The answer can be selected and copied; clicking it leaves the focus in
  // the formula box.
  answerLine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  answerLine_->setFocusPolicy(Qt::NoFocus);
  answerLine_->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* copy = new QAction(QStringLiteral("コピー"), answerLine_);
  copy->setObjectName(QStringLiteral("CopyAnswer"));
  connect(copy, &QAction::triggered, this, &MainWindow::CopyAnswer);
  answerLine_->addAction(copy);

  connect(Button(client, QStringLiteral("Command36"), QStringLiteral("DEL"), 4560, 520, 495, 320),
          &QPushButton::clicked, this, &MainWindow::Delete);
  connect(Button(client, QStringLiteral("Command35"), QStringLiteral("BS"), 5100, 520, 375, 320), &QPushButton::clicked,
          this, &MainWindow::Backspace);
  connect(Button(client, QStringLiteral("Command32"), QStringLiteral("CL"), 5520, 520, 375, 320), &QPushButton::clicked,
          this, &MainWindow::ClearEntry);
}

// The current variable's letter, the list with the formula box over it, and
// the buttons "計算" and "終了".
void MainWindow::BuildFormulaRow(QWidget* client) {
  variableLabel_ = PlaceControl<QLabel>(client, QStringLiteral("Label2"), 120, 960, 375, 300);
  variableLabel_->setFont(WindowFont(kGothic, 11.25, true));

  variableList_ = PlaceControl<QComboBox>(client, QStringLiteral("Combo1"), 480, 960, 3975, 300);
  variableList_->setFont(WindowFont(kGothic, 9));
  variableList_->setEditable(true);
  variableList_->setInsertPolicy(QComboBox::NoInsert);
  variableList_->setCompleter(nullptr);
  variableList_->setMaxVisibleItems(kVariableCount);
  variableList_->lineEdit()->installEventFilter(this);
  connect(variableList_, &QComboBox::activated, this,
          [this](int row) { Run([this, row] { return state_.SelectRow(row); }); });

  // The formula box lies over the list's edit field: the two look like one
  // field with the list's drop-down button at its right end.
  formulaBox_ = PlaceControl<QLineEdit>(client, QStringLiteral("Text2"), 525, 1000, 3630, 195);
  formulaBox_->setFont(WindowFont(kPGothic, 9.75, true));
  formulaBox_->setFrame(false);
  formulaBox_->setTextMargins(0, 0, 0, 0);
  formulaBox_->installEventFilter(this);
  formulaBox_->raise();

  connect(Button(client, QStringLiteral("Command1"), QStringLiteral("計算"), 4560, 960, 615, 320),
          &QPushButton::clicked, this, &MainWindow::Calculate);
  connect(Button(client, QStringLiteral("Command2"), QStringLiteral("終了"), 5280, 960, 615, 320),
          &QPushButton::clicked, this, &MainWindow::EndProgram);
}

// Functions: three columns, four rows.
void MainWindow::BuildFunctionKeys(QWidget* client) {
  QGroupBox* frame1 = Frame(client, QStringLiteral("Frame1"), QStringLiteral("関数"), 75, 1320, 1755, 1935);
  // Each button shows the function's name, inserts it with its bracket and
  // tells a screen reader what it is.
  const struct {
    const char* name;
    Function function;
    const char* meaning;
    int left, top;
  } functions[] = {
      {"Command3", Function::Abs, "絶対値", 120, 240},
      {"Command4", Function::Atn, "逆正接", 640, 240},
      {"Command5", Function::Cos, "余弦", 1160, 240},
      {"Command6", Function::Exp, "指数関数", 120, 640},
      {"Command7", Function::Fix, "整数部分", 640, 640},
      {"Command8", Function::Int, "整数部分（切り下げ）", 1160, 640},
      {"Command9", Function::Log, "自然対数", 120, 1050},
      {"Command10", Function::Sin, "正弦", 640, 1050},
      {"Command11", Function::Sqr, "平方根", 1160, 1050},
      {"Command12", Function::Tan, "正接", 120, 1450},
  };
  const QFont gothic9 = WindowFont(kGothic, 9);
  for (const auto& f : functions) {
    const std::string_view name = NameOf(f.function);
    const QString caption = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    QPushButton* button =
        InsertButton(frame1, QString::fromLatin1(f.name), caption, caption + u'(', f.left, f.top, 495, 375);
    button->setFont(gothic9);
    button->setAccessibleName(QString::fromUtf8(f.meaning) + u' ' + caption);
  }
  InsertButton(frame1, QStringLiteral("Command13"), QStringLiteral("Pi"), QStringLiteral("Pi"), 640, 1450, 495, 375)
      ->setFont(gothic9);
  QPushButton* help = Button(frame1, QStringLiteral("Command41"), QStringLiteral("？"), 1160, 1450, 495, 375);
  help->setFont(WindowFont(kPGothic, 11.25, true));
  connect(help, &QPushButton::clicked, this, &MainWindow::ShowFunctionHelp);
}

// The keypad: captions are full-width, the inserted texts plain ASCII.
void MainWindow::BuildKeypad(QWidget* client) {
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
}

// Variables: rows of six, then Y, Z and the clear-all button.
void MainWindow::BuildVariableKeys(QWidget* client) {
  QGroupBox* frame3 = Frame(client, QStringLiteral("Frame3"), QStringLiteral("変数"), 4200, 1320, 1695, 1700);
  for (int k = 0; k < kVariableCount; ++k) {
    const QString letter(QChar(u'A' + k));
    InsertButton(frame3, QStringLiteral("Command33_%1").arg(k), letter, letter, 120 + 240 * (k % 6),
                 240 + 280 * (k / 6), 255, 255);
  }
  connect(Button(frame3, QStringLiteral("Command34"), QStringLiteral("変数ｸﾘｱ"), 720, 1360, 855, 255),
          &QPushButton::clicked, this, &MainWindow::ClearAll);
}

// The function help panel, in front of what it overlaps, hidden at first.
void MainWindow::BuildFunctionHelp(QWidget* client) {
  functionHelp_ = PlaceControl<QFrame>(client, QStringLiteral("Picture1"), 1800, 600, 4215, 2655);
  functionHelp_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  functionHelp_->setAutoFillBackground(true);
  functionHelpText_ = PlaceControl<QLabel>(functionHelp_, QStringLiteral("Label6"), 60, 120, 4040, 2080);
  functionHelpText_->setFont(WindowFont(kGothic, 8));
  functionHelpText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  functionHelpClose_ = Button(functionHelp_, QStringLiteral("Command42"), QStringLiteral("閉"), 3600, 2280, 495, 255);
  connect(functionHelpClose_, &QPushButton::clicked, this, &MainWindow::CloseFunctionHelp);
  functionHelp_->raise();
  functionHelp_->hide();
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
  variableList_->lineEdit()->setAccessibleName(QStringLiteral("変数の定義"));
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
  const auto separator = [](QMenu* m, const char* name) {
    m->addSeparator()->setObjectName(QString::fromLatin1(name));
  };

  QMenu* file = menu("M1", "ﾌｧｲﾙ(&F)");
  item(file, "M11", "ﾌｧｲﾙを開く(&O)", Qt::CTRL | Qt::Key_O, [this] { OpenFile(); });
  separator(file, "M12");
  item(file, "M13", "上書き保存(&S)", Qt::CTRL | Qt::Key_S, [this] { SaveFile(FileCommands::kMenuSaveFilter); });
  item(file, "M14", "名前を付けて保存(&A)", Qt::CTRL | Qt::Key_A, [this] { SaveFileAs(); });
  separator(file, "M15");
  item(file, "M16", "印刷(&P)", Qt::CTRL | Qt::Key_P, [this] { Print(); });
  separator(file, "M17");
  item(file, "M18", "終了(&X)", Qt::CTRL | Qt::Key_X, [this] { EndProgram(); });

  QMenu* tools = menu("M2", "ﾂｰﾙ(&T)");
  item(tools, "M21", "ソロバン(&D)", Qt::CTRL | Qt::Key_D, [this] { StartCompanion(); });
  separator(tools, "M23");
  item(tools, "M24", "等差数列の和(&S)", Qt::CTRL | Qt::Key_B,
       [this] { ShowWindow(SecondaryWindow::ArithmeticSeries); });
  item(tools, "M25", "等比数列の和(&H)", Qt::CTRL | Qt::Key_C,
       [this] { ShowWindow(SecondaryWindow::GeometricSeries); });
  item(tools, "M26", "グラフ(&G)", Qt::CTRL | Qt::Key_G, [this] { ShowWindow(SecondaryWindow::Graph); });
  item(tools, "M27", "計算の履歴(&I)", Qt::CTRL | Qt::Key_H, [this] { ShowWindow(SecondaryWindow::History); });

  QMenu* help = menu("M30", "ﾍﾙﾌﾟ(&H)");
  item(help, "M31", "ｶﾙﾒﾛの説明(&R)", Qt::CTRL | Qt::Key_R, [this] { ShowWindow(SecondaryWindow::ProgramHelp); });
  item(help, "M32", "ﾆｭｰﾄﾝ法の説明(&N)", Qt::CTRL | Qt::Key_N, [this] { ShowWindow(SecondaryWindow::NewtonHelp); });
  separator(help, "M33");
  item(help, "M34", "ﾊﾞｰｼﾞｮﾝ情報(&V)", Qt::CTRL | Qt::Key_V, [this] { ShowWindow(SecondaryWindow::Version); });
}

void MainWindow::BuildToolbar(QWidget* frame) {
  // Five picture buttons side by side, small enough for the frame.
  auto* toolbar = new QWidget(frame);
  toolbar->setObjectName(QStringLiteral("Toolbar1"));
  toolbar->setGeometry(frame->rect().adjusted(2, 2, -2, -2));  // inside the frame's border
  auto* row = new QHBoxLayout(toolbar);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  static const char* const kTips[] = {"ﾌｧｲﾙを開く", "上書き保存", "印刷", "ソロバン", "説明"};
  for (int button = 1; button <= 5; ++button) {
    auto* action = new QAction(toolbar);
    action->setIcon(ToolbarPicture(button, [action = QPointer<QAction>(action)](const QIcon& themed) {
      if (action) action->setIcon(themed);
    }));
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

}  // namespace suusiki
