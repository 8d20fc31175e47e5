// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace suusiki {
namespace {

// The first of Qt's classes that `object` derives from.
const char* QtClassOf(const QObject* object) {
  const QMetaObject* meta = object->metaObject();
  while (meta->superClass() != nullptr && meta->className()[0] != 'Q') meta = meta->superClass();
  return meta->className();
}

// Asked for each class of an object, the most derived first, before Qt's own
// interfaces are. The name of the window is its title, as Qt's own interface
// says it.
QAccessibleInterface* WindowInterface(const QString& className, QObject* object) {
  if (!object->isWidgetType() || className != QLatin1String(object->metaObject()->className())) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  const Qt::WindowType type = widget->windowType();
  if (!widget->isWindow() || (type != Qt::Window && type != Qt::Dialog)) return nullptr;
  if (qstrcmp(QtClassOf(object), "QWidget") != 0) return nullptr;
  return new QAccessibleWidget(widget, QAccessible::Window);
}

}  // namespace

void InstallWindowRoles() {
  // A factory installed again is not added twice.
  QAccessible::installFactory(WindowInterface);
}

}  // namespace suusiki
