#include "ui/xplane_loader.h"

#include <QString>
#include <QWidget>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "base/shown_text.h"
#include "ui/background_work.h"
#include "ui/dialogs.h"
#include "ui/qt_text.h"
#include "ui/settings.h"
#include "ui/window_cells.h"

using namespace Qt::StringLiterals;

namespace brimwell::ui {

using engine::UnitCells;

namespace {

QString notAnXPlaneAddress(const QString& text) {
    return u"\"%1\" is not an address of X-Plane. Write it as http://host:port: "
           "http://localhost:8086 for X-Plane on this computer, or the name or IP address of "
           "another computer and X-Plane's port there, such as http://192.168.1.20:8086."_s.arg(
               toQString(base::shownAddress(text.toStdString())));
}

}  // namespace

XPlaneLoader::XPlaneLoader(QWidget& window, const UnitCells& cells, std::function<void()> changed)
    : m_window(window), m_cells(cells), m_changed(std::move(changed)) {}

XPlaneLoader::~XPlaneLoader() = default;

void XPlaneLoader::load() {
    if (loading()) {
        return;
    }
    const QString setting = readSetting(kXPlaneAddress);
    const std::optional<links::XPlaneAddress> address =
        links::parseXPlaneUrl(setting.toStdString());
    if (!address) {
        showWarning(&m_window, u"The plan was not loaded: "_s + notAnXPlaneAddress(setting) +
                                   u" Change it under Aircraft, X-Plane Address…"_s);
        return;
    }
    links::Outcome<links::XPlaneRequest> request = links::xplaneRequestFor(m_cells, *address);
    if (!request.done()) {
        tell(request.refused());
        return;
    }
    try {
        m_load = runInBackground<links::XPlaneOutcome>(
            m_window, "the load into X-Plane",
            [request = std::move(request.value())](links::LinkControl& control) {
                return links::loadIntoXPlane(request, control);
            },
            [this](const links::XPlaneOutcome& outcome) { finished(outcome); },
            [](std::string reason) { return links::Refused{std::move(reason)}; });
    } catch (const std::system_error& failure) {
        tell(links::Refused{std::string("The plan was not loaded into X-Plane: ") + failure.what() +
                            ". Close other programs, then load again."});
        return;
    }
    m_changed();
}

bool XPlaneLoader::loading() const {
    return m_load != nullptr;
}

void XPlaneLoader::stop() {
    m_load.reset();
    m_changed();
}

void XPlaneLoader::finished(const links::XPlaneOutcome& outcome) {
    stop();
    if (m_window.isVisible()) {  // a pilot who has closed the window has left
        tell(outcome);
    }
}

void XPlaneLoader::tell(const links::XPlaneOutcome& outcome) {
    const QString text = toQString(links::describe(outcome, m_cells.unit())).trimmed();
    if (outcome.done()) {
        showSummary(&m_window, text);
    } else {
        showWarning(&m_window, text);
    }
}

void askXPlaneAddress(QWidget& parent) {
    QString offered = readSetting(kXPlaneAddress);
    while (const std::optional<QString> answer =
               askForText(&parent,
                          u"X-Plane's address, http://host:port (X-Plane on this computer: "
                          "http://localhost:8086):"_s,
                          offered)) {
        offered = answer->trimmed();
        if (links::parseXPlaneUrl(offered.toStdString())) {
            writeSetting(kXPlaneAddress, offered);
            return;
        }
        showWarning(&parent, notAnXPlaneAddress(offered));
    }
}

}  // namespace brimwell::ui
