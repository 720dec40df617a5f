# One interface target carries the language level, the warnings and the Qt safety defines;
# every library and executable of the project links it, so no flag is repeated. Warnings stay
# warnings here: the development presets and CI make them errors (CMAKE_COMPILE_WARNING_AS_ERROR),
# so that a build with another compiler, or with a distribution's flags, is not stopped by one.
add_library(brimwell_common_cfg INTERFACE)
target_compile_features(brimwell_common_cfg INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(brimwell_common_cfg INTERFACE
    -Wall -Wextra -Wpedantic -Wold-style-cast -Wshadow -Wconversion -Wno-sign-conversion)
target_compile_definitions(brimwell_common_cfg INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CONTEXTLESS_CONNECT QT_USE_QSTRINGBUILDER QT_NO_KEYWORDS)

set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

# Sanitizer builds: -DBRIMWELL_SANITIZE=ON adds AddressSanitizer and UndefinedBehaviorSanitizer
# to everything, and makes any report fatal.
option(BRIMWELL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(BRIMWELL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
