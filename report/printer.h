#pragma once

// The printer service that the report needs: the operations of a line printer on one page.
// Positions are in twips (1/1440 inch) from the top-left corner of the printable area; after
// each printed line the position returns to the left edge and moves down one line of the
// current font. A page begins with the first print operation; endDoc releases it.

#include <stdexcept>
#include <string_view>

namespace brimwell::report {

// A failure of the printer service: no default printer, a job that cannot start or that
// fails. what() says why, in words for the pilot.
class PrintError final : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class Printer {
  public:
    virtual ~Printer() = default;
    virtual void setFontName(std::string_view name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setCurrentX(int twips) = 0;
    virtual void setCurrentY(int twips) = 0;
    virtual void setBold(bool bold) = 0;
    virtual void printLine(std::string_view text) = 0;
    virtual void endDoc() = 0;
};

}  // namespace brimwell::report
