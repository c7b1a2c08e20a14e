#include "audio/RtMidiInputs.h"

#include <RtMidi.h>

#include <algorithm>
#include <cctype>

namespace quorvane::audio {

namespace {

// The input client of one RtMidi system, or null when that system does not answer (no sequencer device,
// no JACK server).
std::unique_ptr<RtMidiIn> Connect(RtMidi::Api api, const std::string& clientName) {
    try {
        auto in = std::make_unique<RtMidiIn>(api, clientName);
        if (in->getCurrentApi() != api)
            return nullptr;
        return in;
    } catch (const RtMidiError&) {
        return nullptr;
    }
}

unsigned int PortCount(RtMidiIn& in) {
    try {
        return in.getPortCount();
    } catch (const RtMidiError&) {
        return 0;
    }
}

// RtMidi reports a busy device only through its error text.
PortResult ResultOf(const RtMidiError& error) {
    std::string text = error.getMessage();
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text.find("busy") != std::string::npos || text.find("in use") != std::string::npos
               ? PortResult::InUse
               : PortResult::Failed;
}

} // namespace

RtMidiInputs::RtMidiInputs(Backend backend, const std::string& clientName) {
    if (backend != Backend::Jack)
        in_ = Connect(RtMidi::LINUX_ALSA, clientName);
    if (backend == Backend::Alsa || (in_ != nullptr && PortCount(*in_) > 0))
        return;
    std::unique_ptr<RtMidiIn> jack = Connect(RtMidi::UNIX_JACK, clientName);
    if (jack != nullptr && (in_ == nullptr || PortCount(*jack) > 0))
        in_ = std::move(jack);
}

RtMidiInputs::~RtMidiInputs() {
    Close();
}

std::vector<std::string> RtMidiInputs::Names() const {
    std::vector<std::string> names;
    if (in_ == nullptr)
        return names;
    const unsigned int count = std::min<unsigned int>(PortCount(*in_), kMaxMidiInputs);
    for (unsigned int port = 0; port < count; ++port) {
        try {
            names.push_back(in_->getPortName(port));
        } catch (const RtMidiError&) {
            break;
        }
    }
    return names;
}

PortResult RtMidiInputs::Open(int index) {
    Close();
    if (in_ == nullptr || index < 0 || index >= kMaxMidiInputs ||
        static_cast<unsigned int>(index) >= PortCount(*in_))
        return PortResult::Failed;
    // The port is closed and the callback cancelled: RtMidi's thread does not touch the stream now.
    stream_.Reset();
    queue_.DropAll();
    try {
        // Every byte reaches MidiStream, which alone decides what is played: a system exclusive message
        // that RtMidi dropped unseen would leave a stale running status for the data bytes after it.
        in_->ignoreTypes(false, false, false);
        in_->setCallback(&RtMidiInputs::Receive, this);
        in_->openPort(static_cast<unsigned int>(index), "Quorvane MIDI In");
    } catch (const RtMidiError& error) {
        in_->cancelCallback();
        return ResultOf(error);
    }
    if (!in_->isPortOpen()) {
        in_->cancelCallback();
        return PortResult::Failed;
    }
    open_ = true;
    return PortResult::Opened;
}

void RtMidiInputs::Close() {
    if (!open_)
        return;
    open_ = false;
    try {
        in_->closePort();
        in_->cancelCallback();
    } catch (const RtMidiError&) {
        // Closing goes on: the port is gone either way.
    }
    queue_.DropAll();
}

void RtMidiInputs::Receive(double, std::vector<unsigned char>* bytes, void* self) {
    if (bytes == nullptr || self == nullptr)
        return;
    auto* inputs = static_cast<RtMidiInputs*>(self);
    inputs->stream_.Feed(bytes->data(), bytes->size(),
                         [inputs](uint32_t message) { inputs->queue_.Push(message); });
}

} // namespace quorvane::audio
