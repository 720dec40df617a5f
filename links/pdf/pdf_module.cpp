// The PDF writer link's module, brimwell-plan-pdf.so: the report page drawn by Qt into a file,
// loaded when brimwell-plan --pdf asks for one (links/pdf/pdf_writer.h is its face).
//
//   request: {"unit", "cells": {name: text}}, the file's path as the payload; answer: nothing.

#include <QGuiApplication>
#include <array>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "engine/memory_cells.h"
#include "links/link_call.h"
#include "report/print_command.h"
#include "report/qt/pdf_printer.h"

namespace {

using brimwell::links::LinkAnswer;
using brimwell::links::LinkControl;

// Qt's remarks on the way (no XDG_RUNTIME_DIR, the offscreen platform's notes) are not the
// planner's to show: it says in one line what went wrong, if anything. Failures still show.
void onlyFailures(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        (void)std::fputs(qPrintable(qFormatLogMessage(type, context, text) + u'\n'), stderr);
    }
}

// Qt's messages go to onlyFailures while it lives.
class QuietQt final {
  public:
    QuietQt() : m_previous(qInstallMessageHandler(onlyFailures)) {}
    ~QuietQt() { qInstallMessageHandler(m_previous); }
    QuietQt(const QuietQt&) = delete;
    QuietQt(QuietQt&&) = delete;
    QuietQt& operator=(const QuietQt&) = delete;
    QuietQt& operator=(QuietQt&&) = delete;

  private:
    QtMessageHandler m_previous;
};

LinkAnswer work(std::string_view request, std::string_view path, LinkControl& /*control*/) {
    const QuietQt quiet;
    const auto asked = nlohmann::json::parse(request);
    brimwell::engine::MemoryCells cells;
    for (const auto& [name, text] : asked.at("cells").items()) {
        cells.setText(name, text.get<std::string>());
    }
    const auto unit = brimwell::engine::unitNamed(asked.at("unit").get<std::string>());
    // The Qt printer needs an application object; the planner has no screen, so it takes the
    // offscreen platform. The application takes its options out of argc and argv, so each call
    // gives it fresh ones, which outlive it.
    int argc = 3;
    std::string name = "brimwell-plan";
    std::string platformOption = "-platform";
    std::string platform = "offscreen";
    std::array<char*, 4> argv = {name.data(), platformOption.data(), platform.data(), nullptr};
    std::unique_ptr<QGuiApplication> application;
    if (QGuiApplication::instance() == nullptr) {
        application = std::make_unique<QGuiApplication>(argc, argv.data());
    }
    try {
        const auto printer = brimwell::report::openPdfPrinter(std::string(path));
        brimwell::report::printReport(cells, *printer,
                                      unit.value_or(brimwell::engine::Unit::Pounds));
    } catch (const brimwell::report::PrintError& error) {
        return {false, error.what()};
    }
    return {true, {}};
}

}  // namespace

BRIMWELL_LINK_ENTRY(const brimwell_link_call* call) {
    return brimwell::links::answerCall(call, "PDF writer", work);
}
