// SPDX-License-Identifier: GPL-3.0-or-later
// Small questions about events that several windows ask.
#pragma once

#include <QEvent>
#include <QKeyEvent>
#include <functional>

class QWidget;

namespace suusiki {

// A press of Enter or Return (the main keyboard's or the keypad's).
inline bool IsEnter(const QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Runs `work` once, when the event loop is next free after the first paint of
// `window`: for what the window's first picture does not show, so that the
// window appears and is drawn sooner.
void AfterFirstPaint(QWidget* window, std::function<void()> work);

}  // namespace suusiki
