#include "ui/background_work.h"

#include <QMetaObject>
#include <exception>
#include <new>

#include "base/shown_text.h"

namespace brimwell::ui {

namespace {

// Why the work ended by a throw, in words for the pilot.
std::string reasonOf(const std::exception_ptr& thrown) {
    try {
        std::rethrow_exception(thrown);
    } catch (const std::bad_alloc&) {
        return "the computer has no memory left for it";
    } catch (const std::exception& failure) {
        return base::shownText(failure.what());
    } catch (...) {
        return "it failed in a way Brimwell does not know";
    }
}

}  // namespace

// Touched on the owner's thread only: whether the result is still wanted.
struct BackgroundWork::Handover {
    bool wanted = true;
};

BackgroundWork::BackgroundWork(QObject& owner, std::string what,
                               std::function<Delivery(links::LinkControl&)> work,
                               std::function<Delivery(std::string reason)> failed)
    : m_handover(std::make_shared<Handover>()) {
    m_thread = std::thread([this, &owner, what = std::move(what), work = std::move(work),
                            failed = std::move(failed), handover = m_handover] {
        Delivery delivery;
        try {
            delivery = work(m_control);
        } catch (...) {
            delivery = failed("Brimwell could not finish " + what + ": " +
                              reasonOf(std::current_exception()) + ". Try again.");
        }
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
