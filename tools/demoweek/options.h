#pragma once

#include <string>
#include <vector>

#include "generator.h"

// The command line of the demoweek program.
namespace demoweek {

std::string Usage();

/// Reads the arguments (without the program name). False with `error` set when they do not
/// make a week; `help` is set for --help.
bool ParseOptions(const std::vector<std::string>& args, Options& options, bool& help, std::string& error);

}  // namespace demoweek
