#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "sound/sdl/sdl_sound_device.h"
#include "sound/sound_device.h"

namespace tovik::testing {

// A sound device played by hand: it asks for samples only when the test pulls them.
class HandPulledDevice {
  public:
    sound::DeviceOpener opener() {
        return [state = state_](sound::SampleSource& source) -> sound::OpenedDevice {
            const std::lock_guard lock(state->mutex);
            state->source = &source;
            ++state->opened;
            return {std::make_unique<Device>(state), {}};
        };
    }

    // The next `frames` frames the device would play; silence while it is closed.
    std::vector<std::int16_t> pull(std::size_t frames) {
        std::vector<std::int16_t> samples(frames * sound::kPlaybackChannels, 0);
        const std::lock_guard lock(state_->mutex);
        if (state_->source != nullptr) {
            state_->source->fill(samples);
        }
        return samples;
    }
    // Pulls until `wanted` comes, as the sound thread starts a sound a moment after it is asked
    // for: for at most five seconds, as a loaded machine may hold that thread back.
    bool hears(const std::vector<std::int16_t>& wanted) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        do {
            const std::vector<std::int16_t> heard = pull(wanted.size() / sound::kPlaybackChannels);
            if (heard == wanted) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        } while (std::chrono::steady_clock::now() < deadline);
        return false;
    }
    int timesOpened() const {
        const std::lock_guard lock(state_->mutex);
        return state_->opened;
    }
    bool isOpen() const {
        const std::lock_guard lock(state_->mutex);
        return state_->source != nullptr;
    }

  private:
    struct State {
        mutable std::mutex mutex;
        sound::SampleSource* source = nullptr;
        int opened = 0;
    };
    class Device final : public sound::SoundDevice {
      public:
        explicit Device(std::shared_ptr<State> state) : state_(std::move(state)) {}
        ~Device() override {
            const std::lock_guard lock(state_->mutex);
            state_->source = nullptr;
        }
        std::optional<sound::Pcm> convert(std::span<const std::uint8_t> wav) const override {
            return sound::convertWav(wav, sound::kPlaybackRate, sound::kPlaybackChannels);
        }

      private:
        std::shared_ptr<State> state_;
    };

    std::shared_ptr<State> state_ = std::make_shared<State>();
};

// A sound server that never answers: opening the device blocks until the test lets it go, and
// then fails as if the server had given up.
class HungDevice {
  public:
    sound::DeviceOpener opener() {
        return [state = state_](sound::SampleSource&) -> sound::OpenedDevice {
            std::unique_lock lock(state->mutex);
            state->opening = true;
            state->changed.notify_all();
            state->changed.wait(lock, [&] { return state->released; });
            return {nullptr, "the sound server did not answer"};
        };
    }
    // Whether the sound thread is stuck in opening the device, waiting up to a second for it.
    bool isOpening() {
        std::unique_lock lock(state_->mutex);
        return state_->changed.wait_for(lock, std::chrono::seconds(1),
                                        [&] { return state_->opening; });
    }
    void release() {
        const std::lock_guard lock(state_->mutex);
        state_->released = true;
        state_->changed.notify_all();
    }

  private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        bool opening = false;
        bool released = false;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace tovik::testing
