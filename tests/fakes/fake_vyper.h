#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "tests/fakes/fake_serial_link.h"

namespace marelos {

// A Vyper behind its cable, in the test's own process: it answers each complete request frame at
// once from its memory image and its dives (newest first); after the last dive it stays silent.
class FakeVyper : public FakeSerialLink {
  public:
    std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(128, 0);
    std::vector<std::vector<std::uint8_t>> dives;
    bool echoes = false;       // the home-built interface returns every byte sent
    std::set<int> badPackets;  // packets (counted from 0 over the session) sent damaged
    bool silent = false;
    std::set<int> cutAnswers;  // requests (counted from 0) whose answer loses its last byte
    int lostAt = -1;           // the request in whose answer the device goes away

    bool IsOpen() const override { return !lost_; }
    bool Write(std::span<const std::uint8_t> bytes) override {
        if (lost_) return false;
        request_.insert(request_.end(), bytes.begin(), bytes.end());
        const std::size_t frame = request_.front() == 0x05 ? 5 : 3;
        if (request_.size() == frame) {
            const std::size_t before = out_.size();
            Answer();
            const int number = requests_++;
            if (cutAnswers.contains(number) && out_.size() > before) out_.pop_back();
            if (number == lostAt) {
                out_.resize(before + (out_.size() - before) / 2);
                lost_ = true;
            }
        }
        return true;
    }

  private:
    void Send(std::vector<std::uint8_t> packet) {
        std::uint8_t check = 0;
        for (std::uint8_t b : packet)
            check ^= b;
        packet.push_back(badPackets.contains(packets_++) ? check ^ 0xFF : check);
        out_.insert(out_.end(), packet.begin(), packet.end());
    }
    void Answer() {
        const std::vector<std::uint8_t> request = request_;
        request_.clear();
        if (silent) return;
        if (echoes) out_.insert(out_.end(), request.begin(), request.end());
        if (request[0] == 0x05) {
            std::vector<std::uint8_t> packet(request.begin(), request.begin() + 4);
            packet.insert(packet.end(), memory.begin() + request[2],
                          memory.begin() + request[2] + request[3]);
            Send(packet);
            return;
        }
        next_ = request[0] == 0x08 ? 0 : next_ + 1;
        if (next_ >= dives.size()) return;
        const std::vector<std::uint8_t>& dive = dives[next_];
        for (std::size_t at = 0; at < dive.size(); at += 32) {
            const std::size_t count = std::min<std::size_t>(32, dive.size() - at);
            std::vector<std::uint8_t> packet = {request[0], static_cast<std::uint8_t>(count)};
            packet.insert(packet.end(), dive.begin() + at, dive.begin() + at + count);
            Send(packet);
        }
    }

    std::vector<std::uint8_t> request_;
    std::size_t next_ = 0;
    int packets_ = 0;
    int requests_ = 0;
    bool lost_ = false;
};

}  // namespace marelos
