// MidiInputs over RtMidi: the MIDI inputs of the ALSA sequencer, else of a running JACK server. RtMidi's
// own thread hands each received event to Receive, which takes it apart into channel messages (MidiStream)
// and queues them in a fixed ring (MessageRing); the user-interface thread takes them with Next.
//
// Threads: every member is called from the user-interface thread only; Receive runs on RtMidi's thread and
// touches nothing but the stream and the ring.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/MessageRing.h"
#include "audio/MidiInputs.h"
#include "audio/MidiStream.h"
#include "audio/SoundServices.h"

class RtMidiIn;

namespace quorvane::audio {

class RtMidiInputs : public MidiInputs {
  public:
    // Where the inputs come from: Any takes the ALSA sequencer when it lists an input, else a JACK server
    // that does, else whichever of them answers.
    enum class Backend { Any, Alsa, Jack };
    static constexpr size_t kQueueCapacity = 1024;

    explicit RtMidiInputs(Backend backend = Backend::Any, const std::string& clientName = "Quorvane");
    ~RtMidiInputs() override;
    RtMidiInputs(const RtMidiInputs&) = delete;
    RtMidiInputs& operator=(const RtMidiInputs&) = delete;

    std::vector<std::string> Names() const override;
    PortResult Open(int index) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    bool Next(uint32_t& message) override { return queue_.Pop(message); }

    // False when neither MIDI system answered: no inputs are listed then.
    bool Available() const { return in_ != nullptr; }
    // Messages lost since the program started because the user-interface thread fell too far behind.
    uint64_t Dropped() const { return queue_.Dropped(); }

  private:
    static void Receive(double seconds, std::vector<unsigned char>* bytes, void* self);

    std::unique_ptr<RtMidiIn> in_;
    MidiStream stream_; // RtMidi's thread only while an input is open
    MessageRing<kQueueCapacity> queue_;
    bool open_ = false;
};

// The MIDI system to ask for the services that answer (only those: RtMidi prints its failures).
inline RtMidiInputs::Backend MidiBackendFor(const SoundServices& services) {
    if (services.alsaSequencer && services.jackServer)
        return RtMidiInputs::Backend::Any;
    return services.alsaSequencer ? RtMidiInputs::Backend::Alsa : RtMidiInputs::Backend::Jack;
}

} // namespace quorvane::audio
