// quorvane-cli: inspects and converts sample banks without a display, through the same core operations as
// the desktop program.
#include <CLI/CLI.hpp>
#include <cstdio>

#include "ExitCodes.h"
#include "InfoCommand.h"

using namespace quorvane::cli;

int main(int argc, char** argv) {
    CLI::App app{"Quorvane command-line converter: inspect and convert sampler banks."};
    app.require_subcommand(1);

    std::string infoPath;
    bool infoJson = false;
    CLI::App* info = app.add_subcommand("info", "Show a bank's format, INFO texts and presets");
    info->add_flag("--json", infoJson, "Print the bank model as one JSON object");
    info->add_option("FILE", infoPath, "Bank file")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "error: %s\nRun with --help for usage.\n", e.what());
        return kExitUsage;
    }

    if (info->parsed())
        return RunInfo(infoPath, infoJson);
    return kExitUsage;
}
