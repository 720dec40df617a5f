#pragma once

// Fontconfig reads its configuration and the caches of every installed font once, the first
// time a font is needed: on a desktop with a hundred or more fonts that is about a fifth of the
// window's start-up. FontConfigurationLoad does that reading on a thread of its own, started
// before QApplication, so that it runs while the application connects to the display; the window
// waits for it before it is built. Where no thread can be started, the reading happens as before,
// when the first font is needed.

#include <thread>

namespace brimwell::ui {

class FontConfigurationLoad final {
  public:
    // Starts the reading; before QApplication is created.
    FontConfigurationLoad();
    // Waits for the reading if wait() has not.
    ~FontConfigurationLoad();
    FontConfigurationLoad(const FontConfigurationLoad&) = delete;
    FontConfigurationLoad& operator=(const FontConfigurationLoad&) = delete;
    FontConfigurationLoad(FontConfigurationLoad&&) = delete;
    FontConfigurationLoad& operator=(FontConfigurationLoad&&) = delete;

    // Returns once fontconfig has read its configuration; before any font is used.
    void wait();

  private:
    std::thread m_thread;
};

}  // namespace brimwell::ui
