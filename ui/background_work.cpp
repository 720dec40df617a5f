#include "ui/background_work.h"

#include <QMetaObject>

namespace brimwell::ui {

// Touched on the owner's thread only: whether the result is still wanted.
struct BackgroundWork::Handover {
    bool wanted = true;
};

BackgroundWork::BackgroundWork(QObject& owner, std::function<Delivery(links::LinkControl&)> work)
    : m_handover(std::make_shared<Handover>()) {
    m_thread = std::thread([this, &owner, work = std::move(work), handover = m_handover] {
        Delivery delivery = work(m_control);
        // Posting is safe from this thread: the owner outlives the thread, which is joined
        // before the work is gone. A result not delivered when the owner ends is dropped.
        QMetaObject::invokeMethod(
            &owner,
            [handover, delivery = std::move(delivery)] {
                if (std::exchange(handover->wanted, false)) {
                    delivery();  // may end the work's life: nothing here is the work's
                }
            },
            Qt::QueuedConnection);
    });
}

BackgroundWork::~BackgroundWork() {
    m_handover->wanted = false;
    m_control.stop(BRIMWELL_QUITTING);
    m_thread.join();
}

void BackgroundWork::abandon() {
    m_control.stop(BRIMWELL_ABANDONED);
}

}  // namespace brimwell::ui
