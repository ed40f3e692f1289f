#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace service {

// What the service's command line asks: the profile to run (empty for the
// default one), or to configure with --set and --show.
struct ServiceOptions {
    std::string profile;
    std::vector<std::string> settings;  // FIELD=VALUE, in order
    bool show = false;
    bool system = false;  // the system service's store, not the user's

    bool configures() const { return show || !settings.empty(); }
};

// Reads the arguments (without the program's name) into options; an answer
// when the program is not to run: help, the version, or a mistake (status 2).
// Where the system's text is UTF-8 (utf8), the profile's name is read from it.
std::optional<app::CommandLineAnswer> readServiceOptions(const std::vector<std::string>& arguments,
                                                         ServiceOptions& options, bool utf8,
                                                         const std::string& lineEnd = "\n");

}  // namespace service
