#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "core/divecomputers/serial_link.h"

namespace marelos {

// A device in the test's own process behind an always open link: what it sends waits in `out_`
// until read; a derived device answers in Write.
class FakeSerialLink : public SerialLink {
  public:
    std::optional<SerialOpenError> Open(const std::string&, const LineSettings&) override {
        return std::nullopt;
    }
    void Close() override {}
    bool IsOpen() const override { return true; }
    void SetDtr(bool) override {}
    void SetRts(bool) override {}
    std::size_t BytesWaiting() const override { return out_.size(); }
    std::vector<std::uint8_t> Read(std::size_t count) override {
        std::vector<std::uint8_t> bytes;
        while (count-- > 0 && !out_.empty()) {
            bytes.push_back(out_.front());
            out_.pop_front();
        }
        return bytes;
    }
    void OnDataArrived(std::function<void()>) override {}

  protected:
    std::deque<std::uint8_t> out_;
};

}  // namespace marelos
