#include "ui/Audition.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "core/StringPrintf.h"
#include "ui/ZoneMapKeys.h"

namespace quorvane::ui {

namespace {

// Before a new bank goes in, the notes still sounding are given time to die away; before an input
// closes, its last messages are given time to arrive. Both block the user-interface thread: keep them
// this short.
constexpr auto kBeforeLoad = std::chrono::milliseconds(100);
constexpr auto kBeforeInputClose = std::chrono::milliseconds(12);

// More than a keyboard sends between two timer ticks; the rest waits for the next tick.
constexpr int kMessagesPerDrain = 512;

constexpr uint32_t Controller(uint32_t number, uint32_t value) {
    return ShortMessage(0xB0, number, value);
}

} // namespace

std::string LoadFailureText(uint64_t size, const std::string& device) {
    return StringPrintf("Unable to load soundfont %.01fMb\r\nNot enough DRAM memory on Audio Card.\r\n\r\n%s",
                        static_cast<double>(size) / 1048576.0, device.c_str());
}

Audition::Audition(audio::SynthDevices& synths, audio::MidiInputs& inputs, Host& host)
    : synths_(synths), inputs_(inputs), host_(host), writer_(WriteAuditionBank) {}

std::vector<std::string> Audition::InputNames() const {
    std::vector<std::string> names = inputs_.Names();
    if (names.size() > static_cast<size_t>(audio::kMaxMidiInputs))
        names.resize(audio::kMaxMidiInputs);
    return names;
}

void Audition::Start() {
    if (DeviceCount() > 0) {
        // A synthesizer that cannot be opened keeps no check mark: nothing plays on it.
        on_ = OpenDevice(0);
        checkedDevice_ = on_ ? 0 : -1;
    } else {
        unavailable_ = "no synthesizer was found";
    }
    if (!InputNames().empty()) {
        currentInput_ = 0;
        // Opened and closed at once: the menu shows whether the input can be used before it is needed.
        inputChecked_ = inputs_.Open(0) == audio::PortResult::Opened;
        if (inputChecked_)
            inputs_.Close();
    }
    SetLamp(InputLamp::Off);
}

void Audition::Shutdown() {
    CloseInput();
    synths_.CloseOutput();
    if (bankLoaded_)
        for (int device = 0; device < std::min(DeviceCount(), 2); ++device)
            synths_.ClearBank(device, kAuditionBankLocation);
    bankLoaded_ = false;
    if (comparisonLoaded_)
        for (int device = 0; device < std::min(DeviceCount(), 2); ++device)
            synths_.ClearBank(device, kComparedBankLocation);
    comparisonLoaded_ = false;
    side_ = ComparedSide::Source;
    if (currentDevice_ >= 0)
        synths_.Close(currentDevice_);
    currentDevice_ = -1;
}

bool Audition::OpenDevice(int device) {
    if (synths_.Open(device)) {
        currentDevice_ = device;
        unavailable_.clear();
        return true;
    }
    currentDevice_ = -1;
    const std::string why = synths_.OpenError(device);
    unavailable_ = why.empty() ? StringPrintf("%s could not be opened", synths_.Name(device).c_str()) : why;
    return false;
}

void Audition::TellOpenFailure(int device) {
    host_.ShowMessage(StringPrintf("Couldn't open the synthesizer %s:\r\n%s.", synths_.Name(device).c_str(),
                                   unavailable_.c_str()),
                      kMessageCaption, MessageIcon::Warning);
}

void Audition::ChooseSynthesizer(int device) {
    if (device < 0 || device >= DeviceCount())
        return;
    checkedDevice_ = device;
    if (currentDevice_ >= 0) {
        // The output plays the device: it is opened again for the new one, with its opening messages.
        synths_.CloseOutput();
        synths_.Close(currentDevice_);
    }
    if (!OpenDevice(device)) {
        on_ = false;
        checkedDevice_ = -1;
        TellOpenFailure(device);
        return;
    }
    OpenPorts();
    on_ = true;
}

void Audition::ChooseInput(int input) {
    if (input == currentInput_ && inputChecked_) {
        CloseInput();
        currentInput_ = -1;
        inputChecked_ = false;
        return;
    }
    currentInput_ = input;
    CloseInput();
    OpenPorts();
}

void Audition::SwitchOn() {
    on_ = true;
    if (currentDevice_ < 0 && checkedDevice_ >= 0 && !OpenDevice(checkedDevice_)) {
        on_ = false;
        TellOpenFailure(checkedDevice_);
        return;
    }
    if (currentDevice_ >= 0)
        OpenPorts();
}

void Audition::SwitchOff() {
    on_ = false;
    CloseInput();
    synths_.CloseOutput();
    if (currentDevice_ >= 0)
        synths_.Close(currentDevice_);
    currentDevice_ = -1;
    // A closed synthesizer keeps no bank: switching on again loads the shown preset anew.
    bankLoaded_ = false;
    comparisonLoaded_ = false;
    side_ = ComparedSide::Source;
    heldKeys_.fill(0);
}

void Audition::Warn(const char* text) {
    host_.ShowMessage(text, kMessageCaption, MessageIcon::Warning);
}

void Audition::OpenPorts() {
    if (currentInput_ >= 0 && !inputs_.IsOpen()) {
        const audio::PortResult opened = inputs_.Open(currentInput_);
        // The menus show an input that failed unchecked.
        inputChecked_ = opened == audio::PortResult::Opened;
        if (inputChecked_)
            SetLamp(InputLamp::Idle);
        else if (opened == audio::PortResult::InUse)
            Warn("MIDI Input Device is using by another program.");
        else
            Warn("Couldn't open the MIDI Input Device.");
    }
    if (synths_.IsOutputOpen() || currentDevice_ < 0)
        return;
    switch (synths_.OpenOutput(currentDevice_)) {
    case audio::PortResult::Opened:
        break;
    case audio::PortResult::InUse:
        Warn("MIDI Output Device is using by another program.");
        return;
    case audio::PortResult::Failed:
        Warn("Couldn't open the MIDI Output Device.");
        return;
    }
    // Channel 1 plays the temporary bank as it is, at the slider's volume.
    SelectBank(side_ == ComparedSide::Output ? kComparedBankLocation : kAuditionBankLocation);
    synths_.SendShortMessage(Controller(7, static_cast<uint32_t>(midiVolume_)));
    synths_.SendShortMessage(Controller(91, 0));
    synths_.SendShortMessage(Controller(93, 0));
}

void Audition::CloseInput() {
    if (!inputs_.IsOpen())
        return;
    std::this_thread::sleep_for(kBeforeInputClose);
    inputs_.Close();
    SetLamp(InputLamp::Off);
}

void Audition::SelectBank(uint32_t location) {
    synths_.SendShortMessage(Controller(0, location));
    synths_.SendShortMessage(Controller(32, 0));
    synths_.SendShortMessage(ShortMessage(0xC0, 0, 0));
}

void Audition::LoadWritten(const AuditionBank& written, uint32_t location) {
    if (synths_.LoadBank(currentDevice_, location, written.path) != 0)
        host_.ShowMessage(LoadFailureText(written.size, synths_.Name(currentDevice_)), kMessageCaption,
                          MessageIcon::Stop);
    std::error_code ignored;
    std::filesystem::remove(written.path, ignored);
}

void Audition::ForgetComparison() {
    if (comparisonLoaded_)
        synths_.ClearBank(currentDevice_, kComparedBankLocation);
    comparisonLoaded_ = false;
    if (side_ == ComparedSide::Output) {
        side_ = ComparedSide::Source;
        SelectBank(kAuditionBankLocation);
    }
}

void Audition::LoadShown(Workspace& workspace, uint32_t slot, int layer) {
    if (!on_ || currentDevice_ < 0)
        return;
    const AuditionBank written = writer_(workspace, slot, layer);
    // A bank that could not be written has been reported by the writer; what was loaded before stays.
    if (written.status != AuditionBank::Written)
        return;
    AllSoundOff();
    SetLamp(currentInput_ < 0 ? InputLamp::Off : InputLamp::Idle);
    std::this_thread::sleep_for(kBeforeLoad);
    if (bankLoaded_)
        synths_.ClearBank(currentDevice_, kAuditionBankLocation);
    // The keys play what is shown now, not a comparison's output.
    ForgetComparison();
    LoadWritten(written, kAuditionBankLocation);
    bankLoaded_ = true;
    OpenPorts();
}

void Audition::LoadComparison(Workspace& source, uint32_t sourceSlot, Workspace* output,
                              uint32_t outputSlot) {
    if (!on_ || currentDevice_ < 0)
        return;
    const AuditionBank a = writer_(source, sourceSlot, -1);
    if (a.status != AuditionBank::Written)
        return;
    // An output preset that plays no sample leaves its side silent, as it sounds.
    const AuditionBank b = output != nullptr ? writer_(*output, outputSlot, -1) : AuditionBank{};
    AllSoundOff();
    SetLamp(currentInput_ < 0 ? InputLamp::Off : InputLamp::Idle);
    std::this_thread::sleep_for(kBeforeLoad);
    if (bankLoaded_)
        synths_.ClearBank(currentDevice_, kAuditionBankLocation);
    ForgetComparison();
    LoadWritten(a, kAuditionBankLocation);
    bankLoaded_ = true;
    if (b.status == AuditionBank::Written)
        LoadWritten(b, kComparedBankLocation);
    comparisonLoaded_ = true;
    OpenPorts();
}

void Audition::PlaySide(ComparedSide side) {
    if (!comparisonLoaded_ || side == side_)
        return;
    side_ = side;
    SelectBank(side == ComparedSide::Output ? kComparedBankLocation : kAuditionBankLocation);
}

void Audition::AllSoundOff() {
    synths_.SendShortMessage(Controller(120, 0));
    heldKeys_.fill(0);
    if (lamp_ == InputLamp::KeyHeld)
        SetLamp(InputLamp::Idle);
}

void Audition::Play(uint32_t message, bool fromInput, bool presetsShown) {
    if (!presetsShown)
        return;
    const uint32_t status = message & 0xFF;
    // System messages (SysEx, clock, sensing) and stray data bytes play nothing.
    if (status < 0x80 || status > 0xEF)
        return;
    const uint32_t kind = status & 0xF0;
    const uint32_t key = (message >> 8) & 0x7F;
    const uint32_t value = (message >> 16) & 0x7F;
    synths_.SendShortMessage(ShortMessage(kind, key, value));
    if (kind == 0x90)
        heldKeys_[key] = static_cast<uint8_t>(value);
    else if (kind == 0x80)
        heldKeys_[key] = 0;
    if (fromInput) {
        const bool held = std::any_of(heldKeys_.begin(), heldKeys_.end(), [](uint8_t v) { return v != 0; });
        SetLamp(held ? InputLamp::KeyHeld : InputLamp::Idle);
    }
}

bool Audition::DrainInput(bool presetsShown) {
    uint32_t message = 0;
    int taken = 0;
    while (taken < kMessagesPerDrain && inputs_.Next(message)) {
        Play(message, true, presetsShown);
        ++taken;
    }
    return taken > 0;
}

void Audition::SetVolumePosition(int position) {
    midiVolume_ = std::clamp(127 - position * 128 / 32, 0, 127);
    synths_.SendShortMessage(Controller(7, static_cast<uint32_t>(midiVolume_)));
}

bool Audition::Playable() const {
    return on_ && currentDevice_ >= 0 && bankLoaded_ && synths_.IsOutputOpen();
}

void Audition::SetLamp(InputLamp lamp) {
    lamp_ = lamp;
    if (lampListener_)
        lampListener_(lamp);
}

} // namespace quorvane::ui
