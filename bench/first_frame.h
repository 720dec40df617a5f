#pragma once

// The mark of the window start-up benchmarks: once the first frame of a top-level window has
// been painted and handed to the platform, "first frame" is written to standard output and the
// application quits. The benchmark that started the process times the mark, not the exit.

class QWidget;

namespace brimwell::bench {

// Watches window; call before showing it.
void quitAfterFirstFrame(QWidget& window);

}  // namespace brimwell::bench
