// quorvane-cli: inspects and converts sample banks without a display, through the same core operations as
// the desktop program.
#include <CLI/CLI.hpp>
#include <cstdio>

#include "CheckCommand.h"
#include "Completions.h"
#include "ConvertCommand.h"
#include "ExitCodes.h"
#include "ExportSamplesCommand.h"
#include "InfoCommand.h"
#include "Interrupts.h"
#include "RunJson.h"

using namespace quorvane::cli;

namespace {
constexpr const char* kVolumeOptionHelp =
    "Akai volume: A/2 (partition A, second volume), A/NAME, NAME or 2 (partition A), A/all, or all";
constexpr const char* kAkaiHelp =
    "Akai S1000/S3000 CD-ROMs are read from disc images (.iso, .img, .bin, .cue) or from a drive "
    "(/dev/sr0):\n"
    "  quorvane-cli info disc.iso                      partitions and volumes\n"
    "  quorvane-cli info --volume A/2 disc.iso         one volume's programs and samples\n"
    "  quorvane-cli convert --volume A/PIANO -o piano.sf2 disc.iso\n"
    "  quorvane-cli convert --volume all -o DIR disc.iso   one file per volume, named after it\n"
    "  quorvane-cli export-samples --volume A/2 -o DIR disc.iso";
// -q/--quiet, -v/--verbose and --json of a command that writes files.
void AddReportOptions(CLI::App& command, ReportOptions& report, bool& quiet, bool& verbose,
                      const char* verboseHelp, const char* jsonHelp) {
    CLI::Option* quietOption = command.add_flag("-q,--quiet", quiet, "Print only errors and warnings");
    command.add_flag("-v,--verbose", verbose, verboseHelp)->excludes(quietOption);
    command.add_flag("--json", report.json, jsonHelp);
}

Verbosity VerbosityOf(bool quiet, bool verbose) {
    return quiet ? Verbosity::Quiet : verbose ? Verbosity::Verbose : Verbosity::Normal;
}

} // namespace

// Anything thrown past the commands (memory exhausted, a library failing) ends the run with a message and
// its own exit status rather than an abort.
int main(int argc, char** argv) try {
    CLI::App app{"Quorvane command-line converter: inspect and convert sampler banks."};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("quorvane-cli ") + QUORVANE_VERSION,
                         "Print the program's name and version and exit");
    // The build makes the shell completion files from these definitions: a hidden option, printed before
    // the subcommand is required.
    app.add_option_function<std::string>(
           "--completion",
           [&app](const std::string& shell) {
               const std::string script = shell == "zsh" ? ZshCompletion(app) : BashCompletion(app);
               std::fwrite(script.data(), 1, script.size(), stdout);
               throw CLI::Success();
           },
           "Print the completion script for bash or zsh")
        ->check(CLI::IsMember({"bash", "zsh"}))
        ->group("");

    app.footer(kAkaiHelp);

    std::string infoPath, infoVolume;
    bool infoJson = false;
    CLI::App* info = app.add_subcommand(
        "info",
        "Show a bank's format, INFO texts and presets, a folder's audio files, or an Akai disc's volumes");
    info->add_flag("--json", infoJson, "Print the bank model as one JSON object");
    info->add_option("--volume", infoVolume, kVolumeOptionHelp);
    info->add_option("FILE", infoPath, "Bank file, folder of WAVE and AIFF files, Akai disc image or drive")
        ->required();

    ConvertOptions convertOptions;
    CLI::App* convert = app.add_subcommand(
        "convert",
        "Convert banks (files, or every bank of a folder), or chosen presets of one bank, to SoundFont 2, "
        "SoundFont 3, GigaSampler or SFZ");
    convert
        ->add_option("--to", convertOptions.to,
                     "Output format (default: from OUTPUT's extension, else sf2); sfz writes a folder")
        ->check(CLI::IsMember({"sf2", "sf3", "gig", "sfz"}));
    convert
        ->add_option("--sample-format", convertOptions.sampleFormat,
                     "Sample files of SFZ outputs: wav (default) or flac")
        ->check(CLI::IsMember({"wav", "flac"}));
    convert
        ->add_option("--quality", convertOptions.quality,
                     "Q: Vorbis quality of SoundFont 3 samples, 0 (smallest) to 1 (best); default 0.6")
        ->check(CLI::Range(0.0, 1.0));
    convert->add_option("--preset", convertOptions.presets, "Preset slot to write (1-based); may be repeated")
        ->check(CLI::PositiveNumber);
    convert->add_flag("--combine", convertOptions.combine,
                      "Write all chosen presets into the one file OUTPUT");
    EditOptions& edits = convertOptions.edits;
    convert->add_option("--program", edits.program,
                        "SLOT=N: the preset's program number (0-127); may be repeated");
    convert->add_option("--bank", edits.bank, "SLOT=N: the preset's bank number (0-127); may be repeated");
    convert->add_option("--drum", edits.drum,
                        "SLOT=on|off: the preset is a drum kit or not; may be repeated");
    convert->add_option("--move-zones", edits.moveZones,
                        "SLOT=+12|-12: every zone of the preset an octave up or down; may be repeated");
    convert->add_option("--reverb", edits.reverb, "PERCENT: reverb send of every zone (0-100)");
    convert->add_option("--chorus", edits.chorus, "PERCENT: chorus send of every zone (0-100)");
    convert->add_option("--cutoff", edits.cutoff,
                        "HZ|off: low-pass filter cutoff of every zone (20-20000), or none");
    convert->add_option("--edits", convertOptions.editsFile,
                        "Replay the edits kept in FILE (before the options above)");
    convert->add_option("--save-edits", convertOptions.saveEditsFile,
                        "Keep the run's edits in FILE (alone, without banks, only writes FILE)");
    convert->add_option("-o,--output", convertOptions.output,
                        "Output file for one bank, one preset or --combine; else an existing folder");
    convert->add_option("--volume", convertOptions.volume, kVolumeOptionHelp);
    convert->add_flag("--check", convertOptions.check,
                      "After writing, compare the output with its source and print what changed (exit 5 when "
                      "anything did)");
    ReportOptions convertReport;
    bool convertQuiet = false, convertVerbose = false;
    AddReportOptions(
        *convert, convertReport, convertQuiet, convertVerbose,
        "Also print a line for every instrument and sample written",
        "Print the result on stdout as one JSON object: files written, presets, warnings, failures");
    convert->add_option("BANK", convertOptions.inputs,
                        "Bank files and folders of banks, or one Akai disc image or drive");
    convert->footer(
        "Output: one bank or preset is written to OUTPUT with its extension replaced by .sf2, .sf3 or .gig "
        "(OUTPUT an\n"
        "existing folder: named after the bank or preset). Several banks, a folder, or several presets go "
        "into the\n"
        "folder OUTPUT, each named after its bank or preset; a GigaSampler bank of more than 128 presets "
        "becomes\n"
        "'NAME part1.gig', 'NAME part2.gig' ... A name met twice in one run gets '-2', '-3' ...\n"
        "Edits apply to every bank of the run: --program/--bank/--drum/--move-zones by preset slot, "
        "--reverb,\n"
        "--chorus and --cutoff to every zone. A bank with fewer presets than the edits name is not written.\n"
        "Exit status: 0 every file written; 1 usage error or bad edits file (nothing written); 2 the one "
        "bank\n"
        "named cannot be read; 3 it is not a bank; 4 the output folder is missing or not writable, or at "
        "least\n"
        "one bank or file failed (the others are written); 130 interrupted by Ctrl-C, 143 by SIGTERM (the "
        "file\n"
        "being written is discarded, files finished before stay); with --check, 5 when the check found "
        "differences.");
    ExportSamplesOptions exportOptions;
    CLI::App* exportSamples = app.add_subcommand(
        "export-samples", "Save every sample of a bank, or every audio file of a folder, as WAVE or AIFF");
    exportSamples->add_option("--to", exportOptions.to, "Output format (default: wav)")
        ->check(CLI::IsMember({"wav", "aiff"}));
    exportSamples
        ->add_option("--bits", exportOptions.bits,
                     "Bits per sample, 16 or 24 (default: 24 for samples of more than 16 bits, else 16)")
        ->check(CLI::IsMember({16, 24}));
    exportSamples->add_option("--volume", exportOptions.volume, kVolumeOptionHelp);
    exportSamples->add_option("-o,--output", exportOptions.output, "Folder to save the files in")->required();
    ReportOptions exportReport;
    exportReport.fileLinesByDefault = false;
    bool exportQuiet = false, exportVerbose = false;
    AddReportOptions(*exportSamples, exportReport, exportQuiet, exportVerbose,
                     "Also print a line for every file written",
                     "Print the result on stdout as one JSON object: files written, warnings, failures");
    exportSamples->add_option("FILE_OR_FOLDER", exportOptions.input, "Bank file, or a folder of audio files")
        ->required();

    CheckCommandOptions checkOptions;
    CLI::App* check = app.add_subcommand(
        "check", "Compare a converted bank with its source: what each preset kept and lost, voice by voice");
    check->add_flag("--json", checkOptions.json, "Print the report as one JSON object");
    check->add_flag(
        "--render", checkOptions.render,
        "Also play both banks through FluidSynth (a few notes per preset) and compare level, pitch "
        "and length");
    check->add_option("--volume", checkOptions.volume, "Akai source: the volume that was converted (A/2)");
    check
        ->add_option("--preset", checkOptions.presets,
                     "Source preset slot to check (1-based); may be repeated")
        ->check(CLI::PositiveNumber);
    check->add_option("SOURCE", checkOptions.source, "The bank (or Akai disc) that was converted")
        ->required();
    check
        ->add_option("OUTPUT", checkOptions.outputs,
                     "The converted bank: one file, several (GigaSampler parts), or a folder of them")
        ->required();
    check->footer(
        "Exit status: 0 every preset plays as in the source within the tolerances the report states "
        "(parameters\n"
        "the output format cannot hold are listed apart); 5 differences found; 1 usage error; 2 a "
        "bank cannot be\n"
        "read; 3 a file is not a bank.");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::Success&) {
        return std::fflush(stdout) == 0 ? kExitOk : kExitInternalError;
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "error: %s\nRun with --help for usage.\n", e.what());
        return kExitUsage;
    }

    if (info->parsed())
        return RunInfo(infoPath, infoJson, infoVolume);
    if (check->parsed())
        return RunCheck(checkOptions);
    // The commands that write catch interrupts so that no partial or temporary file is left behind.
    if (!convert->parsed() && !exportSamples->parsed())
        return kExitUsage;
    CatchInterrupts();
    const bool converting = convert->parsed();
    ReportOptions report = converting ? convertReport : exportReport;
    report.verbosity =
        converting ? VerbosityOf(convertQuiet, convertVerbose) : VerbosityOf(exportQuiet, exportVerbose);
    TerminalHost host(report);
    const int status = StatusAfterInterrupt(converting ? RunConvert(convertOptions, host)
                                                       : RunExportSamples(exportOptions, host));
    if (report.json)
        PrintRunJson(host, converting ? "convert" : "export-samples", status);
    return status;
} catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", e.what());
    return kExitInternalError;
}
