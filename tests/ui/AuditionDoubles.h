// Stand-ins for the synthesizer and the MIDI inputs: they record what auditioning asks of them (opening,
// bank loads and clears, every message sent) and fail when a test tells them to.
#pragma once

#include <cstdio>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/MidiInputs.h"
#include "audio/SynthDevices.h"

namespace quorvane::test {

class RecordingSynth : public audio::SynthDevices {
  public:
    explicit RecordingSynth(std::vector<std::string> names) : names_(std::move(names)) {}

    int Count() const override { return static_cast<int>(names_.size()); }
    std::string Name(int device) const override { return names_.at(static_cast<size_t>(device)); }
    bool Open(int device) override {
        log.push_back("open " + std::to_string(device));
        return !openFails;
    }
    void Close(int device) override { log.push_back("close " + std::to_string(device)); }
    int LoadBank(int device, uint32_t location, const std::string& path) override {
        // The bank must be on disk while it is loaded.
        log.push_back("load " + std::to_string(device) + " " + std::to_string(location) +
                      (std::filesystem::exists(path) ? "" : " missing"));
        loadedPaths.push_back(path);
        return loadResult;
    }
    void ClearBank(int device, uint32_t location) override {
        log.push_back("clear " + std::to_string(device) + " " + std::to_string(location));
    }
    audio::PortResult OpenOutput(int device) override {
        log.push_back("output " + std::to_string(device));
        outputOpen_ = outputResult == audio::PortResult::Opened;
        return outputResult;
    }
    void CloseOutput() override {
        if (outputOpen_)
            log.push_back("output closed");
        outputOpen_ = false;
    }
    bool IsOutputOpen() const override { return outputOpen_; }
    void SendShortMessage(uint32_t message) override {
        if (!outputOpen_)
            return;
        sent.push_back(message);
        char text[16];
        std::snprintf(text, sizeof text, "send %06x", message);
        log.push_back(text);
    }

    std::vector<std::string> log;
    std::vector<uint32_t> sent; // what reached the open output
    std::vector<std::string> loadedPaths;
    bool openFails = false;
    int loadResult = 0;
    audio::PortResult outputResult = audio::PortResult::Opened;

  private:
    std::vector<std::string> names_;
    bool outputOpen_ = false;
};

class QueuedInputs : public audio::MidiInputs {
  public:
    explicit QueuedInputs(std::vector<std::string> names) : names_(std::move(names)) {}

    std::vector<std::string> Names() const override { return names_; }
    audio::PortResult Open(int index) override {
        log.push_back("open " + std::to_string(index));
        open_ = openResult == audio::PortResult::Opened;
        return openResult;
    }
    void Close() override {
        if (open_)
            log.push_back("close");
        open_ = false;
        queue.clear();
    }
    bool IsOpen() const override { return open_; }
    bool Next(uint32_t& message) override {
        if (!open_ || queue.empty())
            return false;
        message = queue.front();
        queue.pop_front();
        return true;
    }

    std::vector<std::string> log;
    std::deque<uint32_t> queue; // what the keyboard sends next
    audio::PortResult openResult = audio::PortResult::Opened;

  private:
    std::vector<std::string> names_;
    bool open_ = false;
};

} // namespace quorvane::test
