#pragma once

// Aircraft > Load into X-Plane and Aircraft > X-Plane Address…: the plan in the main window's
// cells loaded into X-Plane (links/xplane/xplane.h) at the address that the settings keep, off the
// window's thread (ui/background_work.h) while the window goes on answering; the outcome is told
// in a box. One load at a time; a load still under way when the window goes is stopped, and its
// outcome dropped.

#include <functional>
#include <memory>

#include "engine/unit_cells.h"
#include "links/xplane/xplane.h"

class QWidget;

namespace brimwell::ui {

class BackgroundWork;

class XPlaneLoader final {
  public:
    // window: the parent of the boxes and the owner of the load's work; cells: the cells as the
    // engine reads them, in the unit shown; changed: told when a load starts or ends. The loader
    // must not outlive any of them.
    XPlaneLoader(QWidget& window, const engine::UnitCells& cells, std::function<void()> changed);
    ~XPlaneLoader();
    XPlaneLoader(const XPlaneLoader&) = delete;
    XPlaneLoader(XPlaneLoader&&) = delete;
    XPlaneLoader& operator=(const XPlaneLoader&) = delete;
    XPlaneLoader& operator=(XPlaneLoader&&) = delete;

    // Loads the plan, unless a load is under way.
    void load();
    bool loading() const;
    // Stops a load under way; its outcome is not told.
    void stop();

  private:
    void finished(const links::XPlaneOutcome& outcome);
    // The one place where the outcome of a load becomes the words of its box.
    void tell(const links::XPlaneOutcome& outcome);

    QWidget& m_window;
    const engine::UnitCells& m_cells;
    std::function<void()> m_changed;
    std::unique_ptr<BackgroundWork> m_load;
};

// Asks for X-Plane's address until the answer is one, offering the refused answer again to mend,
// and remembers it; cancelled, the address stays as it was.
void askXPlaneAddress(QWidget& parent);

}  // namespace brimwell::ui
