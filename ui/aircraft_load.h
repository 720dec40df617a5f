#pragma once

// The window's load of a plan into X-Plane (xplane/xplane_load.h), off the user-interface thread:
// a thread of its own runs the exchange, which returns within the request's bound, and the outcome
// is handed to the owner on the owner's thread, while the window goes on answering.
//
// The thread is joined when the load is destroyed: at once when the outcome has come, else within
// what is left of the bound. Its last act is to post the outcome to the owner, so the owner must
// outlive the load (a member of the owner does); a load destroyed before its outcome was handed
// over never calls done.

#include <QObject>
#include <functional>
#include <memory>
#include <thread>

#include "xplane/xplane_load.h"

namespace brimwell::ui {

class AircraftLoad final {
  public:
    // Starts the load; done is called once with its outcome, on owner's thread. Throws
    // std::system_error when no thread can be started.
    AircraftLoad(QObject& owner, XPlaneRequest request,
                 std::function<void(const XPlaneOutcome&)> done);
    ~AircraftLoad();
    AircraftLoad(const AircraftLoad&) = delete;
    AircraftLoad(AircraftLoad&&) = delete;
    AircraftLoad& operator=(const AircraftLoad&) = delete;
    AircraftLoad& operator=(AircraftLoad&&) = delete;

  private:
    struct Handover;
    std::shared_ptr<Handover> m_handover;  // shared with the outcome on its way to the owner
    std::thread m_thread;
};

}  // namespace brimwell::ui
