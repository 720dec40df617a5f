#include "cli/plan_options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <span>

#include "base/shown_text.h"
#include "cli/plan_flight_options.h"
#include "engine/cell_limits.h"
#include "engine/cell_names.h"
#include "engine/cell_text.h"
#include "engine/cell_values.h"
#include "engine/digit_keys.h"

namespace brimwell::cli {

namespace {

enum class Rule { AnyText, Digits, List };

struct CellOption {
    std::string_view flag;
    std::string_view cell;
    Rule rule;
    std::span<const std::string_view> items;  // for Rule::List
    std::string_view help;
};

const std::array<CellOption, 12> kCellOptions = {{
    {"--origin",
     engine::cell::txtOriginICAO,
     Rule::AnyText,
     {},
     "origin airport code (report only)"},
    {"--destination",
     engine::cell::txtDestinationICAO,
     Rule::AnyText,
     {},
     "destination airport code (report only)"},
    {"--alternate",
     engine::cell::txtAlternateICAO,
     Rule::AnyText,
     {},
     "alternate airport code (report only)"},
    {"--distance",
     engine::cell::txtDestinationDistance,
     Rule::Digits,
     {},
     "distance to the destination, nm, up to 8400"},
    {"--alternate-distance", engine::cell::cmbAlternateDistance, Rule::List,
     engine::kAlternateDistances, "distance to the alternate, nm"},
    {"--wind-direction", engine::cell::cmbWindDirection, Rule::List, engine::kWindDirections,
     "prevailing wind"},
    {"--wind", engine::cell::txtWindIntensity, Rule::Digits, {}, "wind speed, knots, up to 1000"},
    {"--flight-level", engine::cell::cmbFlightLevel, Rule::List, engine::kFlightLevels,
     "cruise flight level"},
    {"--payload",
     engine::cell::txtPayLoad,
     Rule::Digits,
     {},
     "payload, up to 140912 lbs or 63916 kg"},
    {"--contingency",
     engine::cell::txtContingencyTime,
     Rule::Digits,
     {},
     "contingency time, minutes"},
    {"--min-landing-fuel", engine::cell::cmbMLF, Rule::List, engine::kMinimumLandingFuels,
     "minimum landing fuel"},
    {"--taxi-fuel",
     engine::cell::txtTFB,
     Rule::Digits,
     {},
     "taxi fuel burn off (default 2000 lbs, 907 kg)"},
}};

// The options that take no value, and the switch of the request that each one sets.
struct Flag {
    std::string_view name;
    bool PlanRequest::*setting;
};

// The options that name a file, or a SimBrief user, and where the request keeps the name.
struct FileOption {
    std::string_view name;
    std::optional<std::string> PlanRequest::*path;
    std::string_view needsName;
};

const std::array<FileOption, 4> kFileOptions = {{
    {"--pdf", &PlanRequest::pdfPath, "--pdf needs a file name"},
    {"--ofp", &PlanRequest::ofpPath, "--ofp needs a file name (- for standard input)"},
    {"--simbrief-user", &PlanRequest::simbriefUser,
     "--simbrief-user needs a SimBrief user name or pilot ID"},
    {"--flights-csv", &PlanRequest::flightsCsv, "--flights-csv needs a file name"},
}};

const std::array<Flag, 9> kFlags = {{
    {"--help", &PlanRequest::help},
    {"-h", &PlanRequest::help},
    {"--version", &PlanRequest::version},
    {"--json", &PlanRequest::json},
    {"--correction", &PlanRequest::correction},
    {"--send-to-xplane", &PlanRequest::sendToXPlane},
    {"--fuel-check", &PlanRequest::fuelCheck},
    {"--watch", &PlanRequest::watch},
    {"--flights", &PlanRequest::flights},
}};

std::string joined(std::span<const std::string_view> items) {
    std::string out;
    for (const auto item : items) {
        if (!out.empty()) {
            out += ", ";
        }
        out += item;
    }
    return out;
}

// One line of --help: the option, then its help from the same column on every line, at least
// two blanks after the option (help2man reads those as the border between the two).
std::string usageLine(std::string_view option, std::string_view help) {
    constexpr std::size_t kHelpColumn = 30;
    std::string line = "  " + std::string(option);
    line.resize(std::max(line.size() + 2, kHelpColumn), ' ');
    line += help;
    return line + "\n";
}

// The items of a list option in the unit.
std::span<const std::string_view> items(const CellOption& option, engine::Unit unit) {
    return option.cell == engine::cell::cmbMLF ? engine::minimumLandingFuels(unit) : option.items;
}

// An option's value as its messages quote it.
std::string quoted(std::string_view value) {
    std::string text = "\"";
    text += base::shownText(value);
    return text += '"';
}

const CellOption& optionFor(std::string_view cell) {
    return *std::find_if(kCellOptions.begin(), kCellOptions.end(),
                         [cell](const CellOption& o) { return o.cell == cell; });
}

// Refuses what the window's cell could not hold, then what it would not take.
void check(const CellOption& option, const std::string& value, engine::Unit unit) {
    const std::string cell = std::string(option.flag) + ": the cell " + std::string(option.cell);
    if (!engine::isPlainText(value)) {
        throw OptionError(cell +
                          " holds no line breaks, control characters or bytes that are not "
                          "UTF-8: " +
                          quoted(value));
    }
    if (const auto length = engine::windowLength(value); length > engine::kLongestCellText) {
        throw OptionError(cell + " holds at most " + std::to_string(engine::kLongestCellText) +
                          " characters, not " + std::to_string(length));
    }
    switch (option.rule) {
        case Rule::AnyText:
            return;
        case Rule::Digits:
            if (!engine::isDigitsOnly(value)) {
                throw OptionError(std::string(option.flag) + " takes digits only (0 to 9), not " +
                                  quoted(value));
            }
            if (const auto limit = engine::fieldLimit(option.cell, unit);
                limit && engine::isRefused(*limit, value)) {
                throw OptionError(std::string(limit->warning));
            }
            return;
        case Rule::List: {
            const auto list = items(option, unit);
            if (std::find(list.begin(), list.end(), value) == list.end()) {
                throw OptionError(std::string(option.flag) + " " + quoted(value) +
                                  " is not in the list; choose one of: " + joined(list));
            }
            return;
        }
    }
}

engine::Unit unitOption(const std::string& value) {
    const auto unit = engine::unitNamed(value);
    if (!unit) {
        throw OptionError("--units " + quoted(value) + " is not a unit; choose lbs or kg");
    }
    return *unit;
}

links::XPlaneAddress xplaneAddress(const std::string& url) {
    const auto address = links::parseXPlaneUrl(url);
    if (!address) {
        throw OptionError("--xplane-url takes an address http://host[:port], not \"" +
                          base::shownAddress(url) + "\"");
    }
    return *address;
}

// --every's seconds: a plain decimal number (digits, at most one point) within its limits.
double everyOption(const std::string& value) {
    const bool plain = !value.empty() && value.size() <= 16 &&
                       std::all_of(value.begin(), value.end(),
                                   [](char c) { return (c >= '0' && c <= '9') || c == '.'; }) &&
                       std::count(value.begin(), value.end(), '.') <= 1 && value != ".";
    double seconds = 0;
    if (!plain ||
        std::from_chars(value.data(), value.data() + value.size(), seconds).ec != std::errc{} ||
        seconds < kFewestEverySeconds || seconds > kMostEverySeconds) {
        throw OptionError("--every takes the seconds between readings, from 0.2 to 60, not " +
                          quoted(value));
    }
    return seconds;
}

void refuseConflicts(const PlanRequest& request, bool every) {
    refuseLogConflicts(request);
    if (request.ofpPath && request.simbriefUser) {
        throw OptionError("--ofp and --simbrief-user both give the flight plan; give one of them");
    }
    if (request.watch && request.fuelCheck) {
        throw OptionError("--watch and --fuel-check both check X-Plane's fuel; give one of them");
    }
    if (every && !request.watch) {
        throw OptionError("--every sets the interval of --watch; give --watch as well");
    }
    if (request.serve && !request.watch) {
        throw OptionError("--serve shows the flight that --watch follows; give --watch as well");
    }
}

// The values given last, once every option is read: the file names, the unit, X-Plane's address,
// and each cell's text in the unit.
void checkValues(PlanRequest& request, const std::optional<std::string>& units,
                 const std::optional<std::string>& xplaneUrl,
                 const std::optional<std::string>& every, const std::optional<std::string>& serve,
                 const std::optional<std::string>& flight,
                 const std::optional<std::string>& fuelFactor) {
    for (const auto& file : kFileOptions) {
        if (const auto& path = request.*(file.path); path && path->empty()) {
            throw OptionError(std::string(file.needsName));
        }
    }
    request.unit = units ? unitOption(*units) : request.unit;
    request.xplane = xplaneUrl ? xplaneAddress(*xplaneUrl) : request.xplane;
    request.everySeconds = every ? everyOption(*every) : request.everySeconds;
    request.serve = serve ? std::optional(serveOption(*serve)) : std::nullopt;
    request.flightId = flight ? flightIdOption(*flight) : request.flightId;
    request.fuelFactor = fuelFactor ? fuelFactorOption(*fuelFactor) : request.fuelFactor;
    for (const auto& [cell, value] : request.cells) {
        check(optionFor(cell), value, request.unit);
    }
}

}  // namespace

PlanRequest parsePlanOptions(const std::vector<std::string>& arguments) {
    PlanRequest request;
    // The values are checked once every option is read: a later setting wins, the cells take the
    // unit, which may come after them, and --help and --version show their text whatever the
    // other options are.
    std::optional<std::string> units;
    std::optional<std::string> xplaneUrl;
    std::optional<std::string> every;
    std::optional<std::string> serve;
    std::optional<std::string> flight;
    std::optional<std::string> fuelFactor;
    // The options whose value is checked once all are read, and where each is kept till then.
    const std::array<std::pair<std::string_view, std::optional<std::string>*>, 6> valued = {
        {{"--units", &units},
         {"--xplane-url", &xplaneUrl},
         {"--every", &every},
         {"--serve", &serve},
         {"--flight", &flight},
         {"--fuel-factor", &fuelFactor}}};
    std::optional<OptionError> unreadable;  // the first argument that could not be read
    const auto refuse = [&unreadable](const std::string& message) {
        unreadable = unreadable.value_or(OptionError(message));
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string name = argument;
        std::optional<std::string> inlineValue;
        if (const auto equals = argument.find('=');
            argument.starts_with("--") && equals != std::string::npos) {
            name = argument.substr(0, equals);
            inlineValue = argument.substr(equals + 1);
        }
        const auto takeValue = [&]() -> std::string {
            if (inlineValue) {
                return *inlineValue;
            }
            if (i + 1 >= arguments.size()) {
                refuse(name + " needs a value");
                return {};
            }
            return arguments[++i];
        };

        if (const auto* const flag = std::find_if(
                kFlags.begin(), kFlags.end(), [&name](const Flag& f) { return f.name == name; });
            flag != kFlags.end()) {
            if (inlineValue) {
                refuse(name + " takes no value");
            } else {
                request.*(flag->setting) = true;
            }
        } else if (const auto* const file =
                       std::find_if(kFileOptions.begin(), kFileOptions.end(),
                                    [&name](const FileOption& f) { return f.name == name; });
                   file != kFileOptions.end()) {
            request.*(file->path) = takeValue();
        } else if (const auto* const value =
                       std::find_if(valued.begin(), valued.end(),
                                    [&name](const auto& v) { return v.first == name; });
                   value != valued.end()) {
            *value->second = takeValue();
        } else if (const auto* const option =
                       std::find_if(kCellOptions.begin(), kCellOptions.end(),
                                    [&name](const CellOption& o) { return o.flag == name; });
                   option != kCellOptions.end()) {
            std::erase_if(request.cells,
                          [option](const auto& c) { return c.first == option->cell; });
            request.cells.emplace_back(option->cell, takeValue());
        } else if (argument.starts_with("-")) {
            refuse("unknown option " + quoted(name) + " (see --help)");
        } else {
            refuse("unexpected argument " + quoted(argument) + " (see --help)");
        }
    }
    if (request.help || request.version) {
        return request;
    }
    if (unreadable) {
        throw OptionError(unreadable->what());
    }
    checkValues(request, units, xplaneUrl, every, serve, flight, fuelFactor);
    refuseConflicts(request, every.has_value());
    return request;
}

std::string planUsage() {
    std::string out =
        "Usage: brimwell-plan [--ofp FILE | --simbrief-user ID] [OPTION VALUE]... [--correction]\n"
        "                     [--json] [--pdf FILE]\n"
        "                     [--send-to-xplane]\n"
        "                     [--fuel-check | --watch [--every SECONDS] [--serve ADDRESS:PORT]]\n"
        "                     [--xplane-url URL] [--fuel-factor auto|PERCENT]\n"
        "       brimwell-plan --flights [--json] | --flight ID [--json] | --flights-csv FILE\n"
        "Plans the fuel load of a Boeing 747-400 flight, as the Calculate button of the window\n"
        "does, and prints the flight plan report.\n\nFlight plan:\n";
    out +=
        usageLine("--ofp FILE", "fill the flight data from a SimBrief flight plan (OFP), XML or");
    out += usageLine("", "JSON; --ofp - reads it from standard input");
    out += usageLine("--simbrief-user ID",
                     "fill it from the latest flight plan of the SimBrief user name or");
    out += usageLine("", "pilot ID (all digits) ID, fetched from SimBrief within 10 seconds");
    out +=
        "From the flight plan come the three airports, the route distance, the first alternate's\n"
        "distance (rounded up to the next distance of the list), the average wind component, the\n"
        "initial altitude, the payload and the taxi fuel (in the unit of --units; a kgs OFP's own\n"
        "figures in kg); the contingency time and the minimum landing fuel are not in it. Each\n"
        "option below overrides the OFP's value for its cell. A value of the OFP that does not\n"
        "fit its cell is named on the error stream and nothing is planned (exit status 2), unless\n"
        "an option gives that cell; so is a flight plan that cannot be read or fetched.\n\n"
        "Flight data, weights in the unit of --units (an option left out leaves its cell empty,\n"
        "or as the OFP fills it):\n";
    for (const auto& option : kCellOptions) {
        std::string help(option.help);
        if (option.rule == Rule::List) {
            help += ": " + joined(option.items);
            if (option.cell == engine::cell::cmbMLF) {
                help += " lbs, or " + joined(engine::minimumLandingFuels(engine::Unit::Kilograms)) +
                        " kg";
            }
        }
        out += usageLine(std::string(option.flag) + " VALUE", help);
    }
    out += "\nOther options:\n";
    out += usageLine("--units UNIT", "the unit of every weight: lbs (the default) or kg");
    out += usageLine("--correction", "correct the trip fuel for the landing weight");
    out += usageLine("--json", "print the cells as one JSON object instead of the report");
    out += usageLine("--pdf FILE", "also write the report page into the PDF file FILE");
    out += usageLine("--send-to-xplane",
                     "then load fuel and payload into X-Plane's 747-400 (12.1.1+)");
    out += usageLine("--fuel-check", "then check X-Plane's fuel in flight against the plan");
    out += usageLine("--watch", "then follow the flight in X-Plane until it has landed");
    out += usageLine("--every SECONDS",
                     "the seconds between --watch's readings, 0.2 to 60 (default 5)");
    out += usageLine("--serve ADDRESS:PORT",
                     "show the watched flight to the browsers of the network at the");
    out += usageLine("", "IPv4 address (0.0.0.0: every one) and port (0: a free one)");
    out += usageLine("--xplane-url URL", "X-Plane's web API, http://host[:port] (default " +
                                             std::string(links::kDefaultXPlaneUrl) + ")");
    out += usageLine("--fuel-factor auto|PERCENT",
                     "plan the trip fuel with the fuel factor learnt from the flight log");
    out += usageLine("", "(auto) or PERCENT more, -50 to 50 (e.g. 4.5); off unless given");
    out += usageLine("--flights", "list the flights of the flight log, newest first, and the fuel");
    out += usageLine("", "factor learnt from them");
    out += usageLine("--flight ID", "show the flight ID of the log, its fixes and readings");
    out += usageLine("--flights-csv FILE", "write the list of flights into the CSV file FILE");
    out += usageLine("--help", "show this text, whatever the other options are");
    out +=
        usageLine("--version", "show the version of brimwell-plan, whatever the other options are");
    out +=
        "\nAn option given more than once counts as given last. A value holds what the window's\n"
        "cell can hold: no line breaks or other control characters, at most " +
        std::to_string(engine::kLongestCellText) + " characters.\n";
    out +=
        "\nExit status: 0 plan printed, 1 the plan could not be calculated, 2 an option or the "
        "OFP was\nrefused, or the OFP could not be read or fetched, 3 the plan was calculated but "
        "its report,\nJSON object or PDF file could not be written in full (or the text of --help "
        "or --version\ncould not be), 4 the aircraft was not loaded (--send-to-xplane) or "
        "X-Plane's "
        "fuel not\nread (--fuel-check), or the flight not watched (--watch: no finished plan, "
        "another aircraft),\nthe reason on the error stream.\n"
        "\nWith --send-to-xplane the report on the output stays as it is: what was loaded into "
        "each\ntank goes to the error stream (with --json, into the object as \"xplane\", in kg "
        "as X-Plane\nholds them). X-Plane is given 5 seconds in all, name lookup included. A load "
        "that X-Plane\nstopped after the fuel was written says so (with --json, \"accepted\" "
        "lists the writes\nX-Plane took).\n"
        "\nWith --fuel-check the check's lines follow the report (with --json, the object's "
        "\"fuel_check\"):\nthe distance flown and to go, the fuel on board against the plan's "
        "figure for there, the\nlanding fuel predicted from it against the planned, the "
        "reserves, and the status: on plan,\ncontingency in use, or reserves at risk.\n"
        "\nWith --watch X-Plane is read every --every seconds, each reading within its 5 "
        "seconds, from\nthe report on: a line a reading (the phase, the distance along the "
        "flight plan's route, or\ntravelled without one, the check and the landing fuel at the "
        "burn so far), a line a fix of\nthe route passed, and the summary once the flight has "
        "landed or SIGINT or SIGTERM ends the\nwatch (exit status 0). X-Plane's silence or a "
        "bad answer is told as that reading's; another\naircraft than the 747-400 ends the "
        "watch (exit status 4). With --json the object comes\nfirst, then one object a line: "
        "{\"reading\": ...}, {\"fix\": ...}, and last {\"landed\": ...} or\n{\"ended\": "
        "...}. Every line is flushed as it is written.\n"
        "\nWith --serve the first line on the error stream is \"brimwell-plan: the flight is "
        "shown at\nURL\": a browser opened at the URL, which holds the pairing key, shows the "
        "plan and each\nreading as it comes, on at most 8 devices. A server that cannot start (the "
        "port taken, "
        "not an\naddress of this computer) ends the planner before it plans (exit status 4).\n";
    out += flightsHelp();
    return out;
}

}  // namespace brimwell::cli
