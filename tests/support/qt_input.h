#pragma once
// Keys and clicks delivered to a widget the way the toolkit hands them over,
// for tests of windows on the offscreen platform (no window system).
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QString>
#include <QWidget>

namespace kanzo::test {

inline void Key(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(target, &release);
}

// Each character as its own key, as a keyboard (or an input method) types it.
inline void Type(QWidget* target, const QString& text) {
  for (const QChar c : text) Key(target, c.unicode(), Qt::NoModifier, QString(c));
}

inline void Enter(QWidget* target, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  Key(target, Qt::Key_Return, modifiers, QStringLiteral("\r"));
}

// One mouse event at `at`: a move carries no button, a press or a double
// click holds `button`, a release lets it go.
inline void Mouse(QWidget* target, QEvent::Type type, const QPoint& at, Qt::MouseButton button = Qt::LeftButton) {
  const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
  const Qt::MouseButtons held = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick
                                    ? Qt::MouseButtons(button)
                                    : Qt::MouseButtons(Qt::NoButton);
  QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), changed, held, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}
inline void Mouse(QWidget& target, QEvent::Type type, const QPoint& at, Qt::MouseButton button = Qt::LeftButton) {
  Mouse(&target, type, at, button);
}

inline void Click(QWidget* target, const QPoint& at) {
  const QPointF global = target->mapToGlobal(QPointF(at));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(target, &release);
}

}  // namespace kanzo::test
