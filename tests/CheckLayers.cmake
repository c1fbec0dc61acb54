# Fails when a source file includes a header from a layer above its own.
# Run as: cmake -DSOURCE_DIR=<project> -P CheckLayers.cmake

# folder glob | forbidden include pattern | what the rule says
set(rules
    "core|#include [\"<](app/|Storage/|Engine/|Collectors/|Permissions/|Platform/|Intents/|ViewLogic/|Views/)|core includes nothing of app/"
    "core|#include <Q|core uses no Qt"
    "app/Storage|#include \"(Engine|Collectors|Permissions|Intents|ViewLogic|Views)/|Storage includes nothing above it"
    "app/Engine|#include \"(ViewLogic|Views)/|the engine includes no window"
    "app/Engine|#include <Q|the engine uses no Qt"
    "app/Collectors|#include <Q|the collectors use no Qt"
    "app/Permissions|#include <Q|the permissions use no Qt"
    "app/Intents|#include <Q|the intents use no Qt"
    "app/Storage|#include <Q|storage uses no Qt"
    "app/ViewLogic|#include <Q|view logic uses no Qt"
    "app/ViewLogic|#include \"Views/|view logic includes no widget"
    "app/ViewLogic|#include \"Platform/Linux/|view logic includes no Linux implementation"
)
set(platform_rule "#include <(X11/|atspi|QDBus|QtDBus|dbus/)")

set(failures "")
foreach(rule ${rules})
    string(REPLACE "|" ";" parts "${rule}")
    list(GET parts 0 folder)
    list(LENGTH parts count)
    math(EXPR last "${count} - 1")
    list(GET parts ${last} reason)
    list(SUBLIST parts 1 ${last} pattern_parts)
    string(JOIN "|" pattern ${pattern_parts})
    file(GLOB_RECURSE files "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
    if(folder STREQUAL "app/Platform")
        list(FILTER files EXCLUDE REGEX "/Platform/Linux/")
    endif()
    foreach(file ${files})
        file(STRINGS ${file} hits REGEX "${pattern}")
        foreach(hit ${hits})
            string(APPEND failures "${file}: ${hit} (${reason})\n")
        endforeach()
    endforeach()
endforeach()

# X11, AT-SPI and D-Bus headers belong to Platform/Linux/ alone.
file(GLOB_RECURSE files "${SOURCE_DIR}/core/*" "${SOURCE_DIR}/app/*.h" "${SOURCE_DIR}/app/*.cpp")
list(FILTER files EXCLUDE REGEX "/app/Platform/Linux/")
foreach(file ${files})
    file(STRINGS ${file} hits REGEX "${platform_rule}")
    foreach(hit ${hits})
        string(APPEND failures "${file}: ${hit} (only Platform/Linux/ talks to X11, AT-SPI, D-Bus)\n")
    endforeach()
endforeach()

# Interfaces in Platform/ stay plain C++.
file(GLOB files "${SOURCE_DIR}/app/Platform/*.h" "${SOURCE_DIR}/app/Platform/*.cpp")
foreach(file ${files})
    file(STRINGS ${file} hits REGEX "#include <Q")
    foreach(hit ${hits})
        string(APPEND failures "${file}: ${hit} (platform interfaces use no Qt)\n")
    endforeach()
endforeach()

if(failures)
    message(FATAL_ERROR "Includes that point upwards:\n${failures}")
endif()
message(STATUS "layers ok")
