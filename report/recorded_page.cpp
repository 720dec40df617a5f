#include "report/recorded_page.h"

namespace brimwell {

void RecordedPage::setFontName(std::string_view name) {
    m_operations.push_back({.kind = Kind::FontName, .text = std::string(name)});
}

void RecordedPage::setFontSize(double points) {
    m_operations.push_back({.kind = Kind::FontSize, .points = points});
}

void RecordedPage::setCurrentX(int twips) {
    m_operations.push_back({.kind = Kind::CurrentX, .twips = twips});
}

void RecordedPage::setCurrentY(int twips) {
    m_operations.push_back({.kind = Kind::CurrentY, .twips = twips});
}

void RecordedPage::setBold(bool bold) {
    m_operations.push_back({.kind = Kind::Bold, .bold = bold});
}

void RecordedPage::printLine(std::string_view text) {
    m_operations.push_back({.kind = Kind::Line, .text = std::string(text)});
}

void RecordedPage::endDoc() {
    m_operations.push_back({.kind = Kind::End});
}

void RecordedPage::playOn(Printer& printer) const {
    for (const Operation& operation : m_operations) {
        switch (operation.kind) {
            case Kind::FontName:
                printer.setFontName(operation.text);
                break;
            case Kind::FontSize:
                printer.setFontSize(operation.points);
                break;
            case Kind::CurrentX:
                printer.setCurrentX(operation.twips);
                break;
            case Kind::CurrentY:
                printer.setCurrentY(operation.twips);
                break;
            case Kind::Bold:
                printer.setBold(operation.bold);
                break;
            case Kind::Line:
                printer.printLine(operation.text);
                break;
            case Kind::End:
                printer.endDoc();
                break;
        }
    }
}

}  // namespace brimwell
