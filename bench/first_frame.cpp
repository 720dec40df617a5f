#include "bench/first_frame.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <string_view>

namespace brimwell::bench {

namespace {

class FirstFrameWatcher final : public QObject {
  public:
    explicit FirstFrameWatcher(QWidget& window) : QObject(&window) {
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            // The painted frame is flushed to the platform when the paint pass ends; the timer
            // fires after that.
            QTimer::singleShot(0, this, [] {
                static constexpr std::string_view kMark = "first frame\n";
                if (write(STDOUT_FILENO, kMark.data(), kMark.size()) < 0) {
                    QCoreApplication::exit(1);
                    return;
                }
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool m_painted = false;
};

}  // namespace

void quitAfterFirstFrame(QWidget& window) {
    new FirstFrameWatcher(window);
}

}  // namespace brimwell::bench
