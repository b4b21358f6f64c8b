#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "core/divecomputers/kora_eeprom.h"
#include "tests/fakes/fake_serial_link.h"

namespace marelos {

// A KORA 4 in the test's own process: it answers each read request at once from its EEPROM
// image and stores the value of each write whose checksum fits.
class FakeKora : public FakeSerialLink {
  public:
    std::vector<int> eeprom = std::vector<int>(kKoraEepromSize, 0);
    std::set<int> badChecksum;         // reads of these addresses get a wrong checksum
    int silentFrom = kKoraEepromSize;  // reads from this address on get no reply
    bool lagging = false;  // each reply comes only with the next request, too late for its own
    int lostFrom = kKoraEepromSize;  // the device goes away at the read of this address

    bool IsOpen() const override { return !lost_; }
    bool Write(std::span<const std::uint8_t> bytes) override {
        if (lost_) return false;
        request_.insert(request_.end(), bytes.begin(), bytes.end());
        const std::size_t frame = request_.front() == 200 ? 3 : 5;
        if (request_.size() >= frame) Answer();
        return true;
    }

  private:
    void Answer() {
        const std::vector<std::uint8_t> r = request_;
        request_.clear();
        const int address = r[1] + 256 * r[2];
        if (r[0] == 200 && address >= lostFrom) {
            lost_ = true;
        } else if (r[0] == 200 && address < silentFrom) {
            const auto data = static_cast<std::uint8_t>(eeprom[static_cast<std::size_t>(address)]);
            auto check = static_cast<std::uint8_t>(r[0] ^ r[1] ^ r[2] ^ data);
            if (badChecksum.contains(address)) check ^= 0x5A;
            out_.insert(out_.end(), held_.begin(), held_.end());
            held_.clear();
            if (lagging) {
                held_ = {data, check};
            } else {
                out_.insert(out_.end(), {data, check});
            }
        } else if (r[0] == 201 && (r[0] ^ r[1] ^ r[2] ^ r[3]) == r[4]) {
            eeprom[static_cast<std::size_t>(address)] = r[3];
        }
    }

    std::vector<std::uint8_t> request_;
    std::vector<std::uint8_t> held_;  // the reply a lagging device has not sent yet
    bool lost_ = false;
};

}  // namespace marelos
