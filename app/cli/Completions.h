// Shell completion scripts made from the command definitions themselves, so that every subcommand and
// option the parser takes is completed, and nothing it does not take.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace quorvane::cli {

// For bash (complete -F) and for zsh (#compdef, _arguments).
std::string BashCompletion(const CLI::App& app);
std::string ZshCompletion(const CLI::App& app);

} // namespace quorvane::cli
