#include "ui/font_configuration.h"

#include <fontconfig/fontconfig.h>

#include <system_error>

namespace brimwell::ui {

FontConfigurationLoad::FontConfigurationLoad() {
    try {
        // A failure is Qt's to report, when it sets up its font database.
        m_thread = std::thread([] { (void)FcInit(); });
    } catch (const std::system_error&) {
        // No thread: Qt reads the configuration itself, later.
    }
}

FontConfigurationLoad::~FontConfigurationLoad() {
    wait();
}

void FontConfigurationLoad::wait() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

}  // namespace brimwell::ui
