// quorvane: the desktop program. `--version` and `--help` answer without a display, so they work over ssh
// and in scripts; everything else needs one.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <QApplication>

#include "audio/FluidSynthDevices.h"
#include "audio/RtAudioOutput.h"
#include "audio/RtMidiInputs.h"
#include "audio/SoundServices.h"
#include "ui/Artwork.h"
#include "ui/BuildInfo.h"
#include "ui/OutputDevices.h"
#include "ui/Unit1.h"

namespace {

void PrintHelp() {
    std::printf(
        "Usage: quorvane [--version] [--help] [Qt options] [FOLDER | BANK | AUDIOFILE | DISCIMAGE]\n\n"
        "Quorvane browses, plays and converts sampler sound banks: SoundFont 2, DLS and\n"
        "GigaSampler, Akai S1000/S3000 CD-ROMs, WAVE and AIFF files.\n\n"
        "  --version   print the program's name and version\n"
        "  --help      print this text\n\n"
        "A folder is listed; a SoundFont, GigaSampler or DLS bank is opened with its first preset\n"
        "shown; a WAVE or AIFF file is listed with its folder and selected; an Akai CD-ROM image\n"
        "(.iso, .img, .bin, .cue) opens in Akai mode.\n\n"
        "The same inspection and conversion work without a display through quorvane-cli\n"
        "(quorvane-cli --help).\n");
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", quorvane::ui::kProgramName, quorvane::ui::kProgramVersion);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintHelp();
            return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("quorvane");
    QApplication::setApplicationDisplayName("Quorvane 1.1");
    QApplication::setApplicationVersion(quorvane::ui::kProgramVersion);
    QApplication::setDesktopFileName("quorvane");
    QApplication::setWindowIcon(quorvane::ui::ProgramIcon());

    // The sound services are asked once, quietly; what is missing is said in one line each here and in
    // the window's menus.
    const quorvane::audio::SoundServices services = quorvane::audio::ProbeSoundServices();
    for (const std::string& line : quorvane::audio::MissingServiceLines(services))
        std::fprintf(stderr, "quorvane: %s\n", line.c_str());

    // Samples play through the system's sound output; the Audio Output menu lists its devices.
    quorvane::audio::RtAudioOutput output(services);
    const quorvane::ui::OutputDevices outputs(output);
    quorvane::ui::DeviceLists devices = quorvane::ui::MachineDeviceLists();
    devices.audioOutputs = &outputs;
    devices.waveOutput = &output;
    // Presets are auditioned on FluidSynth, which plays through the sound server itself.
    quorvane::audio::FluidSynthDevices synthesizers(quorvane::audio::FluidSynthDevices::Output::AudioDriver,
                                                    services);
    devices.synthesizers = &synthesizers;
    // A keyboard plays it through the machine's MIDI inputs (the ALSA sequencer, else JACK).
    std::unique_ptr<quorvane::audio::RtMidiInputs> midiInputs;
    if (services.CanListMidiInputs())
        midiInputs =
            std::make_unique<quorvane::audio::RtMidiInputs>(quorvane::audio::MidiBackendFor(services));
    devices.midiInputs = midiInputs.get();
    quorvane::ui::TForm1 form1(quorvane::ui::DefaultSettingsFile(), devices);
    form1.ShowAtStart();
    // A folder, bank, audio file or disc image named on the command line (a file manager's "Open with").
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        form1.OpenPath(arguments.at(1));
    return app.exec();
}
