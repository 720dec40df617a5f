#include "ui/aircraft_load.h"

#include <QMetaObject>
#include <utility>

namespace brimwell::ui {

// Touched on the owner's thread only: whether the outcome is still wanted, and who wants it.
struct AircraftLoad::Handover {
    std::function<void(const XPlaneOutcome&)> done;
};

AircraftLoad::AircraftLoad(QObject& owner, XPlaneRequest request,
                           std::function<void(const XPlaneOutcome&)> done)
    : m_handover(std::make_shared<Handover>(Handover{std::move(done)})) {
    m_thread = std::thread([&owner, request = std::move(request), handover = m_handover] {
        XPlaneOutcome outcome = loadIntoXPlane(request);
        // Posting is safe from this thread: the owner outlives the thread, which is joined before
        // the load is gone. The owner's end throws away an outcome not yet delivered.
        QMetaObject::invokeMethod(
            &owner,
            [handover, outcome = std::move(outcome)] {
                if (const auto wanted = std::exchange(handover->done, nullptr)) {
                    wanted(outcome);
                }
            },
            Qt::QueuedConnection);
    });
}

AircraftLoad::~AircraftLoad() {
    m_handover->done = nullptr;  // an outcome still on its way is not delivered
    m_thread.join();
}

}  // namespace brimwell::ui
