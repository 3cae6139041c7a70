// Driving real windows from a test: modal dialogs and message boxes run
// their own event loops, so a test schedules what the user does in them
// before it opens them.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <string>

namespace webhoard::testing {

// Runs `action` on the next modal window that comes up (other than the one
// modal now), as soon as it is shown. Gives up after `timeout_ms`.
inline void WhenModalShown(std::function<void(QWidget*)> action, int timeout_ms = 10000) {
  QPointer<QWidget> before = QApplication::activeModalWidget();
  auto* timer = new QTimer(qApp);  // freed with the application when it never fires
  QElapsedTimer clock;
  clock.start();
  QObject::connect(timer, &QTimer::timeout, [timer, clock, before, action = std::move(action),
                                             timeout_ms] {
    QWidget* modal = QApplication::activeModalWidget();
    const bool shown = modal != nullptr && modal != before.data() && modal->isVisible();
    if (!shown && clock.elapsed() < timeout_ms) return;
    timer->stop();
    timer->deleteLater();
    if (shown) action(modal);
  });
  timer->start(5);
}

// The text of a message box the program showed, and the button pressed.
struct SeenMessage {
  std::string text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Answers the next message box with `button`, recording what it said.
inline void AnswerNextMessage(QMessageBox::StandardButton button, SeenMessage* seen = nullptr) {
  WhenModalShown([button, seen](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) return;
    if (seen != nullptr) {
      seen->text = box->text().toStdString();
      seen->icon = box->icon();
    }
    if (QAbstractButton* b = box->button(button)) {
      b->click();
    } else {
      box->reject();
    }
  });
}

// Lets the event loop run until `done` holds or `timeout_ms` passed.
inline bool WaitUntil(const std::function<bool()>& done, int timeout_ms = 10000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeout_ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

}  // namespace webhoard::testing
