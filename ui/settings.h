#pragma once

// The window's settings, remembered between runs in the user's configuration folder
// (~/.config/brimwell/brimwell.conf, or under $XDG_CONFIG_HOME). Each setting is one row below:
// its key and the text it reads as until the pilot gives it. Nothing is written until then, so a
// first run leaves no file behind and opens the window as it always has.

#include <QString>
#include <string_view>

#include "links/xplane/xplane_address.h"

namespace brimwell::ui {

struct Setting {
    std::string_view key;
    std::string_view defaultText;
};

// The SimBrief user name or pilot ID whose latest flight plan File > Fetch fetches.
inline constexpr Setting kSimbriefUser{.key = "simbrief/user", .defaultText = ""};
// Where Aircraft > Load into X-Plane finds X-Plane's web API.
inline constexpr Setting kXPlaneAddress{.key = "xplane/address",
                                        .defaultText = links::kDefaultXPlaneUrl};

// The port Aircraft > Show on a Tablet serves on.
inline constexpr Setting kTabletPort{.key = "tablet/port", .defaultText = "8087"};

// The unit of weight the window shows: "lbs" or "kg" (engine/units.h).
inline constexpr Setting kWeightUnit{.key = "units/weight", .defaultText = "lbs"};

// Whether Calculate plans with the pilot's fuel factor (Aircraft > Use My Fuel Factor): "on" or "".
inline constexpr Setting kUseFuelFactor{.key = "fuel/use-factor", .defaultText = ""};

QString readSetting(const Setting& setting);
void writeSetting(const Setting& setting, const QString& text);

}  // namespace brimwell::ui
