#pragma once

// The X-Plane link is a module of its own (brimwell-xplane.so), loaded on the first load into
// X-Plane: cpp-httplib brings OpenSSL, brotli and zlib with it, which neither the window nor the
// planner should load at every start. xplane/xplane_load.h is the face that loads and calls it.

#include "xplane/xplane_load.h"

// The module's one entry point: loads the request into X-Plane and sets the outcome. Never throws
// (the caller and the module each have their own copy of the outcome's code); returns within the
// request's bound.
extern "C" void brimwell_xplane_load(const brimwell::XPlaneRequest& request,
                                     brimwell::XPlaneOutcome& outcome);

namespace brimwell {
// The module's file and its entry point's name, as the loader looks them up.
inline constexpr const char* kXPlaneModuleFile = "brimwell-xplane.so";
inline constexpr const char* kXPlaneModuleEntry = "brimwell_xplane_load";
using XPlaneModuleEntry = void (*)(const XPlaneRequest&, XPlaneOutcome&);
}  // namespace brimwell
