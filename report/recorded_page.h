#pragma once

// A page of printer operations written down, to be played later on another printer. The window
// collects its report this way on its own thread, and a thread of its own plays the page on the
// system's printer, so that a printer that does not answer cannot hold the window.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "report/printer.h"

namespace brimwell::report {

class RecordedPage final : public Printer {
  public:
    void setFontName(std::string_view name) override;
    void setFontSize(double points) override;
    void setCurrentX(int twips) override;
    void setCurrentY(int twips) override;
    void setBold(bool bold) override;
    void printLine(std::string_view text) override;
    void endDoc() override;

    // Plays the operations on printer in the order they were made; what printer throws goes to
    // the caller.
    void playOn(Printer& printer) const;

  private:
    enum class Kind { FontName, FontSize, CurrentX, CurrentY, Bold, Line, End };
    struct Operation {
        Kind kind = Kind::End;
        std::string text{};  // FontName, Line
        double points = 0;   // FontSize
        int twips = 0;       // CurrentX, CurrentY
        bool bold = false;   // Bold
    };

    std::vector<Operation> m_operations;
};

// A printer that writes the page down and, at endDoc, hands it over to done, whose failures go
// to the caller.
std::unique_ptr<Printer> collectPage(std::function<void(RecordedPage)> done);

}  // namespace brimwell::report
