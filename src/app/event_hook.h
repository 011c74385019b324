// Handlers for events of a widget that Qt gives no signal for: a key pressed
// or released, a paint. The handler runs guarded like every other handler (an
// exception goes to the application), and the widget still gets the event.
//
//   OnKeyUp(List1, [this](int key) { List1KeyUp(key); });
#pragma once

#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <functional>
#include <utility>

#include "app/guard.h"

namespace missivo {

class EventHook : public QObject {
 public:
  // Lives as long as `widget`.
  EventHook(QObject* widget, QEvent::Type type, std::function<void(QEvent&)> handler)
      : QObject(widget), type_(type), handler_(std::move(handler)) {
    widget->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == parent() && event->type() == type_) RunGuarded([&] { handler_(*event); });
    return false;
  }

 private:
  QEvent::Type type_;
  std::function<void(QEvent&)> handler_;
};

// A key pressed (auto-repeated presses included), with its key code.
inline void OnKeyDown(QObject* widget, std::function<void(int)> handler) {
  new EventHook(widget, QEvent::KeyPress, [handler = std::move(handler)](QEvent& event) {
    handler(static_cast<QKeyEvent&>(event).key());
  });
}

// A key released (auto-repeated releases not counted), with its key code.
inline void OnKeyUp(QObject* widget, std::function<void(int)> handler) {
  new EventHook(widget, QEvent::KeyRelease, [handler = std::move(handler)](QEvent& event) {
    const auto& key = static_cast<QKeyEvent&>(event);
    if (!key.isAutoRepeat()) handler(key.key());
  });
}

// The widget is about to paint.
inline void OnPaint(QObject* widget, std::function<void()> handler) {
  new EventHook(widget, QEvent::Paint, [handler = std::move(handler)](QEvent&) { handler(); });
}

}  // namespace missivo
