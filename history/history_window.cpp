// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/events.h"
#include "ui/fonts.h"
#include "ui/platform.h"
#include "ui/printing.h"
#include "ui/qt_text.h"

namespace suusiki::history {
namespace {

const QString kTitle = QStringLiteral("計算の履歴");
constexpr int kIdRole = Qt::UserRole;
enum Column { kTime, kVariable, kFormula, kAnswer, kColumns };

std::uint64_t IdOf(const QTableWidget* table, int row) { return table->item(row, kTime)->data(kIdRole).toULongLong(); }

const Entry* Find(const History& history, std::uint64_t id) {
  const auto& entries = history.entries();
  const auto it = std::find_if(entries.begin(), entries.end(), [id](const Entry& e) { return e.id == id; });
  return it == entries.end() ? nullptr : &*it;
}

}  // namespace

bool WriteHistoryFile(const QString& path, const History& history, QString* error, const storage::DiskSteps& steps) {
  const std::string text = TabSeparatedText(history);
  return storage::WriteAtomically(path, QByteArrayView(text.data(), static_cast<qsizetype>(text.size())), error, steps);
}

HistoryWindow::HistoryWindow(HistorySource source, const Platform& platform, QWidget* parent)
    : QWidget(parent), source_(std::move(source)), platform_(platform) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(QStringLiteral("HISTORY"));
  setWindowTitle(kTitle);
  setFont(WindowFont(kPGothic, 9));
  resize(640, 360);

  table_ = new QTableWidget(0, kColumns, this);
  table_->setObjectName(QStringLiteral("Entries"));
  table_->setFont(WindowFont(kGothic, 9));
  table_->setHorizontalHeaderLabels(
      {QStringLiteral("時刻"), QStringLiteral("変数"), QStringLiteral("数式"), QStringLiteral("答え")});
  table_->horizontalHeaderItem(kAnswer)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setTabKeyNavigation(false);  // Tab goes on to the buttons
  table_->setWordWrap(false);
  QHeaderView* header = table_->horizontalHeader();
  header->setSectionResizeMode(kTime, QHeaderView::ResizeToContents);
  header->setSectionResizeMode(kVariable, QHeaderView::ResizeToContents);
  header->setSectionResizeMode(kFormula, QHeaderView::Stretch);
  header->setSectionResizeMode(kAnswer, QHeaderView::ResizeToContents);
  table_->installEventFilter(this);
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { UseCurrentFormula(); });
  table_->setAccessibleName(kTitle);
  table_->setAccessibleDescription(
      QStringLiteral("Enter で数式を入力欄へ、Ctrl+C でコピー、Delete で削除、Ctrl+L ですべて消去します。"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_, 1);
  BuildButtons();
  table_->setFocus();
  Refresh();
}

void HistoryWindow::BuildButtons() {
  const struct {
    const char* name;
    const char* caption;
    const char* accessible;
    QKeyCombination keys;
    void (HistoryWindow::*command)();
  } kButtons[] = {
      {"Save", "保存", "履歴をファイルに保存", Qt::CTRL | Qt::Key_S, &HistoryWindow::Save},
      {"Print", "印刷", "履歴を印刷", Qt::CTRL | Qt::Key_P, &HistoryWindow::Print},
      {"Clear", "全消去", "履歴をすべて消去", Qt::CTRL | Qt::Key_L, &HistoryWindow::ClearAll},
      {"Close", "閉じる", "履歴を閉じる", QKeyCombination(Qt::Key_Escape), nullptr},
  };
  auto* row = new QHBoxLayout;
  for (const auto& b : kButtons) {
    auto* button = new QPushButton(QString::fromUtf8(b.caption), this);
    button->setObjectName(QString::fromLatin1(b.name));
    button->setAutoDefault(false);
    button->setAccessibleName(QString::fromUtf8(b.accessible));
    // The key works anywhere in the window, as the button does.
    auto* action = new QAction(button);
    action->setShortcut(QKeySequence(b.keys));
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    if (b.command == nullptr) {
      connect(button, &QPushButton::clicked, this, &QWidget::close);
      connect(action, &QAction::triggered, this, &QWidget::close);
      row->addStretch();
    } else {
      connect(button, &QPushButton::clicked, this, b.command);
      connect(action, &QAction::triggered, this, b.command);
    }
    button->setToolTip(action->shortcut().toString(QKeySequence::NativeText));
    row->addWidget(button);
  }
  static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

bool HistoryWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != table_ || event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const auto* key = static_cast<const QKeyEvent*>(event);
  if (IsEnter(event)) {
    UseCurrentFormula();
  } else if (key->matches(QKeySequence::Copy)) {
    CopySelected();
  } else if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
    RemoveSelected();
  } else {
    return false;
  }
  return true;
}

void HistoryWindow::Refresh() {
  std::vector<std::uint64_t> shown;
  shown.reserve(static_cast<std::size_t>(table_->rowCount()));
  for (int row = 0; row < table_->rowCount(); ++row) shown.push_back(IdOf(table_, row));
  const TableUpdate update = UpdateTable(shown, *source_.history);
  const auto& entries = source_.history->entries();
  if (update.removedRows.empty() && update.firstAdded == entries.size()) return;

  const int rowsBefore = table_->rowCount();
  const bool followed = table_->currentRow() < 0 || table_->currentRow() == rowsBefore - 1;
  for (const std::size_t row : update.removedRows) table_->removeRow(static_cast<int>(row));
  for (std::size_t i = update.firstAdded; i < entries.size(); ++i) {
    const Entry& entry = entries[i];
    const int row = table_->rowCount();
    table_->insertRow(row);
    const Text time = TimeText(entry.time);
    const Text* texts[kColumns] = {&time, &entry.variable, &entry.formula, &entry.answer};
    for (int column = 0; column < kColumns; ++column) {
      auto* item = new QTableWidgetItem(ToQString(*texts[column]));
      if (column == kAnswer) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table_->setItem(row, column, item);
    }
    table_->item(row, kTime)->setData(kIdRole, QVariant::fromValue<qulonglong>(entry.id));
  }
  const bool added = update.firstAdded < entries.size();
  if (added && followed && table_->rowCount() > 0) table_->setCurrentCell(table_->rowCount() - 1, kTime);
  if (added) table_->scrollToBottom();
}

std::vector<std::uint64_t> HistoryWindow::SelectedIds() const {
  std::vector<std::uint64_t> ids;
  for (const QModelIndex& index : table_->selectionModel()->selectedRows()) ids.push_back(IdOf(table_, index.row()));
  std::sort(ids.begin(), ids.end());  // top to bottom, whatever order they were picked in
  return ids;
}

void HistoryWindow::UseCurrentFormula() {
  const int row = table_->currentRow();
  if (row < 0) return;
  if (const Entry* entry = Find(*source_.history, IdOf(table_, row))) source_.useFormula(entry->formula);
}

void HistoryWindow::CopySelected() {
  QString text;
  for (const std::uint64_t id : SelectedIds()) {
    if (const Entry* entry = Find(*source_.history, id)) text += ToQString(Line(*entry)) + QLatin1Char('\n');
  }
  if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

void HistoryWindow::RemoveSelected() {
  const QModelIndexList rows = table_->selectionModel()->selectedRows();
  if (rows.isEmpty()) return;
  const int first = std::min_element(rows.begin(), rows.end())->row();
  source_.history->Remove(SelectedIds());
  Refresh();
  // The row that followed the first one removed becomes current, or the last row.
  if (table_->rowCount() > 0) table_->setCurrentCell(std::min(first, table_->rowCount() - 1), kTime);
}

void HistoryWindow::ClearAll() {
  if (source_.history->entries().empty()) return;
  if (!platform_.prompter->Ask(QStringLiteral("本当に履歴を全部消去してよろしいですか？"), QStringLiteral("Check"))) {
    return;
  }
  source_.history->Clear();
  Refresh();
}

void HistoryWindow::Save() {
  QString path = platform_.files->ChooseSave(kFileFilter, savedName_);
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".txt");
  savedName_ = path;
  QString error;
  if (!WriteHistoryFile(path, *source_.history, &error)) {
    platform_.prompter->Tell(QStringLiteral("履歴を保存できませんでした。\n%1\n%2").arg(path, error), kTitle,
                             Prompter::Icon::Exclamation);
  }
}

void HistoryWindow::Print() {
  QStringList lines;
  for (const Text& line : PrintLines(*source_.history)) lines << ToQString(line);
  PrintOrOfferPdf(platform_, lines, QStringLiteral("印刷"));
}

}  // namespace suusiki::history
