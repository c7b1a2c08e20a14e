#include "audio/SoundServices.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace quorvane::audio {

namespace {

// ALSA prints a dozen lines for one missing card, JACK a few for a server that is not running.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}
void QuietJack(const char*) {}

// A socket that exists may be left over from a server that is gone: only a connection tells.
bool SocketAnswers(const std::filesystem::path& path) {
    const std::string name = path.string();
    sockaddr_un address{};
    if (name.size() >= sizeof(address.sun_path))
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.c_str(), name.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool answers = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return answers;
}

const char* Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

// PulseAudio (or PipeWire's service for its clients) named by PULSE_SERVER, or listening on the user's
// runtime socket.
bool SoundServerAnswers() {
    if (Variable("PULSE_SERVER") != nullptr)
        return true;
    if (const char* runtime = Variable("PULSE_RUNTIME_PATH"))
        return SocketAnswers(std::filesystem::path(runtime) / "native");
    if (const char* xdg = Variable("XDG_RUNTIME_DIR"))
        return SocketAnswers(std::filesystem::path(xdg) / "pulse" / "native");
    return false;
}

bool AlsaCardPresent() {
    int card = -1;
    return snd_card_next(&card) == 0 && card >= 0;
}

bool AlsaSequencerPresent() {
    snd_seq_t* sequencer = nullptr;
    if (snd_seq_open(&sequencer, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK) < 0)
        return false;
    snd_seq_close(sequencer);
    return true;
}

bool JackServerRunning() {
    jack_status_t status{};
    jack_client_t* client = jack_client_open("quorvane-probe", JackNoStartServer, &status);
    if (client == nullptr)
        return false;
    jack_client_close(client);
    return true;
}

} // namespace

SoundServices ProbeSoundServices() {
    snd_lib_error_set_handler(&QuietAlsa);
    jack_set_error_function(&QuietJack);
    jack_set_info_function(&QuietJack);
    SoundServices services;
    services.soundServer = SoundServerAnswers();
    services.alsaCard = AlsaCardPresent();
    services.alsaSequencer = AlsaSequencerPresent();
    services.jackServer = JackServerRunning();
    return services;
}

std::vector<std::string> MissingServiceLines(const SoundServices& services) {
    std::vector<std::string> lines;
    if (!services.soundServer)
        lines.emplace_back("no sound server (PulseAudio or PipeWire) is running");
    if (!services.CanPlay())
        lines.emplace_back("no ALSA sound card was found");
    if (!services.CanListMidiInputs())
        lines.emplace_back("no ALSA sequencer (/dev/snd/seq) was found");
    if (!services.CanPlay() || !services.CanListMidiInputs())
        lines.emplace_back("no JACK server is running");
    return lines;
}

std::string NoSoundReason(const SoundServices& services) {
    if (services.CanPlay())
        return {};
    return "no sound server (PulseAudio or PipeWire), ALSA sound card or JACK server was found";
}

} // namespace quorvane::audio
