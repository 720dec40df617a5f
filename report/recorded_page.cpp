#include "report/recorded_page.h"

#include <utility>

namespace brimwell::report {

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

namespace {

class PageCollector final : public Printer {
  public:
    explicit PageCollector(std::function<void(RecordedPage)> done) : m_done(std::move(done)) {}

    void setFontName(std::string_view name) override { m_page.setFontName(name); }
    void setFontSize(double points) override { m_page.setFontSize(points); }
    void setCurrentX(int twips) override { m_page.setCurrentX(twips); }
    void setCurrentY(int twips) override { m_page.setCurrentY(twips); }
    void setBold(bool bold) override { m_page.setBold(bold); }
    void printLine(std::string_view text) override { m_page.printLine(text); }

    void endDoc() override {
        m_page.endDoc();
        m_done(std::exchange(m_page, {}));
    }

  private:
    std::function<void(RecordedPage)> m_done;
    RecordedPage m_page;
};

}  // namespace

std::unique_ptr<Printer> collectPage(std::function<void(RecordedPage)> done) {
    return std::make_unique<PageCollector>(std::move(done));
}

}  // namespace brimwell::report
