// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/events.h"

#include <QTimer>
#include <QWidget>
#include <utility>

namespace suusiki {
namespace {

// Waits for the first paint of the widget it watches, then hands the work to
// the event loop and goes.
class FirstPaintWatch : public QObject {
 public:
  FirstPaintWatch(QWidget* window, std::function<void()> work) : QObject(window), work_(std::move(work)) {
    window->installEventFilter(this);
    next_.setSingleShot(true);
    connect(&next_, &QTimer::timeout, this, [this] {
      work_();
      deleteLater();
    });
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      next_.start(0);
    }
    return false;
  }

 private:
  std::function<void()> work_;
  QTimer next_;
};

}  // namespace

void AfterFirstPaint(QWidget* window, std::function<void()> work) { new FirstPaintWatch(window, std::move(work)); }

}  // namespace suusiki
