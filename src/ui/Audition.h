// Auditioning without the widgets: the synthesizer and MIDI input chosen, the switch, the MIDI ports, the
// temporary bank loaded for the shown preset or layer, the messages played on channel 1, the keys held
// and the input lamp's state. The main window turns menu clicks, selections and mouse events into these
// calls and shows the state; every message to the user goes through the Host.
//
// Threads: user-interface thread only. MIDI input is taken from the inputs' queue by DrainInput.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/MidiInputs.h"
#include "audio/SynthDevices.h"
#include "convert/AuditionBank.h"
#include "core/Host.h"

namespace quorvane::ui {

// The MIDI bank the temporary bank answers to, program 0.
constexpr uint32_t kAuditionBankLocation = 120;
// While a comparison is auditioned, the output's preset answers to this bank beside the source's at
// kAuditionBankLocation, so that switching between them is a bank select.
constexpr uint32_t kComparedBankLocation = 121;

// Which side of a comparison the keys play: the source's preset, or its counterpart in the output.
enum class ComparedSide { Source, Output };

// The MIDI input lamp: the window's colour without an input, dark green while no key is held, red while
// one is.
enum class InputLamp { Off, Idle, KeyHeld };

// "Unable to load soundfont ..." for a bank of `size` bytes the device `device` could not take.
std::string LoadFailureText(uint64_t size, const std::string& device);

class Audition {
  public:
    using BankWriter = std::function<AuditionBank(Workspace&, uint32_t, int)>;
    using LampListener = std::function<void(InputLamp)>;

    Audition(audio::SynthDevices& synths, audio::MidiInputs& inputs, Host& host);

    // Writes the temporary bank; WriteAuditionBank unless a test puts another writer in.
    void SetBankWriter(BankWriter writer) { writer_ = std::move(writer); }
    void SetLampListener(LampListener listener) { lampListener_ = std::move(listener); }

    // Start-up: the first synthesizer is opened and auditioning is on when there is one; the first MIDI
    // input becomes current and is opened once to see whether it can be.
    void Start();
    // Shut-down: ports closed, the temporary bank removed, the synthesizer closed.
    void Shutdown();

    // A synthesizer chosen in the menus: it is opened, the ports too, and auditioning is on.
    void ChooseSynthesizer(int device);
    // A MIDI input chosen: the input that is current and checked is dropped, any other becomes current
    // and is opened.
    void ChooseInput(int input);
    // The auditioning switch.
    void SwitchOn();
    void SwitchOff();
    // Opens the current input and the synthesizer's output where they are not open; a newly opened output
    // gets bank 120, program 0, the MIDI volume and no reverb or chorus on channel 1.
    void OpenPorts();

    // Auditions preset `slot` (its layer `layer` alone when >= 0): the temporary bank is written and
    // loaded in place of the last one. Nothing happens unless auditioning is on with a synthesizer.
    void LoadShown(Workspace& workspace, uint32_t slot, int layer);
    // Auditions a preset of a comparison: the source's preset at kAuditionBankLocation and its counterpart
    // in the output at kComparedBankLocation (none when `output` is nullptr: the output side is then silent,
    // as a missing preset is). The source side plays first. Nothing happens unless auditioning is on with
    // a synthesizer.
    void LoadComparison(Workspace& source, uint32_t sourceSlot, Workspace* output, uint32_t outputSlot);
    // Which side of the loaded comparison the keys play from the next note on; notes still sounding go on.
    // Nothing happens without a comparison loaded.
    void PlaySide(ComparedSide side);
    bool ComparisonLoaded() const { return comparisonLoaded_; }
    ComparedSide Side() const { return side_; }
    // Silences every note and forgets the held keys.
    void AllSoundOff();

    // Plays a short message (status in the low byte) from the zone map or, with fromInput, from the MIDI
    // input. Only channel messages play, and all on channel 1; nothing plays while the preset tree is
    // empty (`presetsShown` false).
    void Play(uint32_t message, bool fromInput, bool presetsShown);
    // Plays what the MIDI input has queued; false when nothing was waiting.
    bool DrainInput(bool presetsShown);

    // The volume slider at `position` (0 top .. 32 bottom) while a preset is shown: MIDI volume, sent.
    void SetVolumePosition(int position);

    int DeviceCount() const { return std::min(synths_.Count(), audio::kMaxSynthDevices); }
    std::string DeviceName(int device) const { return synths_.Name(device); }
    std::vector<std::string> InputNames() const;
    int CurrentDevice() const { return currentDevice_; }
    // The synthesizer whose menu item is checked; -1 when none is.
    int CheckedDevice() const { return checkedDevice_; }
    bool On() const { return on_; }
    int CurrentInput() const { return currentInput_; }
    // Whether the current input's menu item is checked.
    bool InputChecked() const { return inputChecked_; }
    bool InputOpen() const { return inputs_.IsOpen(); }
    bool BankLoaded() const { return bankLoaded_; }
    int MidiVolume() const { return midiVolume_; }
    uint8_t HeldVelocity(int key) const { return heldKeys_[static_cast<size_t>(key & 0x7F)]; }
    InputLamp Lamp() const { return lamp_; }
    // Auditioning can play: on, a synthesizer open with its output, and a bank loaded.
    bool Playable() const;
    // Why auditioning cannot be used, in words for the user: no synthesizer, or the reason the last one
    // chosen could not be opened. Empty once a synthesizer opened.
    const std::string& Unavailable() const { return unavailable_; }

  private:
    // Opens `device` as the current one; false (with the reason kept) when it cannot be opened.
    bool OpenDevice(int device);
    void TellOpenFailure(int device);
    void CloseInput();
    void SetLamp(InputLamp lamp);
    void Warn(const char* text);
    // Channel 1 plays the bank at `location`, program 0.
    void SelectBank(uint32_t location);
    // Loads the bank written at `written` at `location` in place of what was there, saying when the
    // synthesizer cannot take it, and removes the file.
    void LoadWritten(const AuditionBank& written, uint32_t location);
    // Takes the compared output's bank out, and the source side plays.
    void ForgetComparison();

    audio::SynthDevices& synths_;
    audio::MidiInputs& inputs_;
    Host& host_;
    BankWriter writer_;
    LampListener lampListener_;

    int currentDevice_ = -1;
    std::string unavailable_;
    int checkedDevice_ = -1;
    bool on_ = false;
    bool bankLoaded_ = false;
    bool comparisonLoaded_ = false; // the compared output's bank is loaded beside the source's
    ComparedSide side_ = ComparedSide::Source;
    int currentInput_ = -1;
    bool inputChecked_ = false;
    int midiVolume_ = 127;
    std::array<uint8_t, 128> heldKeys_{};
    InputLamp lamp_ = InputLamp::Off;
};

} // namespace quorvane::ui

namespace quorvane::ui {

// No synthesizer and no MIDI input: what a window given no devices auditions with.
class NoSynthDevices : public audio::SynthDevices {
  public:
    int Count() const override { return 0; }
    std::string Name(int) const override { return {}; }
    bool Open(int) override { return false; }
    void Close(int) override {}
    int LoadBank(int, uint32_t, const std::string&) override { return 1; }
    void ClearBank(int, uint32_t) override {}
    audio::PortResult OpenOutput(int) override { return audio::PortResult::Failed; }
    void CloseOutput() override {}
    bool IsOutputOpen() const override { return false; }
    void SendShortMessage(uint32_t) override {}
};

class NoMidiInputs : public audio::MidiInputs {
  public:
    std::vector<std::string> Names() const override { return {}; }
    audio::PortResult Open(int) override { return audio::PortResult::Failed; }
    void Close() override {}
    bool IsOpen() const override { return false; }
    bool Next(uint32_t&) override { return false; }
};

} // namespace quorvane::ui
