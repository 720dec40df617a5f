#include "links/cups/print_spooler.h"

#include <nlohmann/json.hpp>

namespace brimwell::links {

namespace {

constexpr const char* kModuleFile = "brimwell-print.so";

}  // namespace

std::variant<DefaultPrinter, std::string> findDefaultPrinter(LinkControl& control) {
    const LinkAnswer answer = callLink(kModuleFile, R"({"operation":"find"})", control);
    if (!answer.done) {
        return answer.text;
    }
    try {
        const auto found = nlohmann::json::parse(answer.text);
        const auto& paper = found.at("paper");
        return DefaultPrinter{found.at("queue").get<std::string>(),
                              {paper.at("width").get<int>(), paper.at("length").get<int>(),
                               paper.at("left").get<int>(), paper.at("top").get<int>(),
                               paper.at("right").get<int>(), paper.at("bottom").get<int>()}};
    } catch (const std::exception& failure) {
        return std::string("the printer link gave an answer Brimwell cannot read (") +
               failure.what() + "); reinstall Brimwell";
    }
}

std::optional<std::string> sendPage(const std::string& queue, std::string_view pdf,
                                    LinkControl& control) {
    const nlohmann::json request = {{"operation", "send"}, {"queue", queue}};
    const LinkAnswer answer = callLink(kModuleFile, request.dump(), control, pdf);
    return answer.done ? std::nullopt : std::optional(answer.text);
}

PrintStage printStage(const LinkControl& control) {
    return static_cast<PrintStage>(control.stage());
}

}  // namespace brimwell::links
