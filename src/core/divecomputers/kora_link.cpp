#include "core/divecomputers/kora_link.h"

#include <algorithm>
#include <vector>

namespace marelos {
namespace {

constexpr std::uint8_t kReadCommand = 200;
constexpr std::uint8_t kWriteCommand = 201;
constexpr std::size_t kReplyBytes = 2;  // data and checksum
constexpr std::size_t kReplyBuffer = 4;

std::uint8_t LowByte(int address) {
    return static_cast<std::uint8_t>(address - 256 * (address / 256));
}

std::uint8_t HighByte(int address) {
    return static_cast<std::uint8_t>(address / 256);
}

}  // namespace

std::array<std::uint8_t, 3> KoraReadRequest(int address) {
    return {kReadCommand, LowByte(address), HighByte(address)};
}

std::array<std::uint8_t, 5> KoraWriteRequest(int address, int value) {
    const auto byte = static_cast<std::uint8_t>(value & 0xFF);
    const std::uint8_t low = LowByte(address);
    const std::uint8_t high = HighByte(address);
    return {kWriteCommand, low, high, byte,
            static_cast<std::uint8_t>(kWriteCommand ^ low ^ high ^ byte)};
}

int KoraReplyValue(int address, std::span<const std::uint8_t> reply) {
    if (reply.size() < kReplyBytes) return -1;
    const std::uint8_t data = reply[0];
    const auto expected =
        static_cast<std::uint8_t>(kReadCommand ^ LowByte(address) ^ HighByte(address) ^ data);
    return reply[1] == expected ? data : -1;
}

int KoraLink::ReadEepromByte(int address) {
    // What is still waiting is the late reply to a read given up on: it belongs to no request.
    link_.Read(link_.BytesWaiting());
    const auto request = KoraReadRequest(address);
    if (link_.Write(request)) wait_(kReplyBytes, replyTimeoutMs_);
    const std::vector<std::uint8_t> reply = link_.Read(kReplyBuffer);
    if (reply.size() < kReplyBytes) {
        ++silentReads_;
        return -1;
    }
    silentReads_ = 0;
    return KoraReplyValue(address, reply);
}

bool KoraLink::WriteEepromByte(int address, int value) {
    return link_.Write(KoraWriteRequest(address, value));
}

std::vector<KoraSettingField> ReadKoraSettings(KoraLink& link, std::string_view decimalSeparator) {
    link.ForgetSilence();
    return ReadKoraSettings(
        [&link](int address) { return link.GivenUp() ? -1 : link.ReadEepromByte(address); },
        decimalSeparator);
}

int ListedKoraDives(const KoraLoad& load) {
    const int count = CountKoraDives(load.image);
    if (load.end == KoraLoadEnd::Complete || count == 0) return count;
    const auto lastStart = std::find(load.image.rbegin(), load.image.rend(), kKoraDiveStart);
    const bool ended = std::find(load.image.rbegin(), lastStart, kKoraDiveEnd) != lastStart;
    return ended ? count : count - 1;
}

KoraLoad LoadKoraEeprom(KoraLink& link, const std::function<bool(int address)>& progress) {
    link.ForgetSilence();
    KoraLoad load;
    for (int address = 0; address < kKoraEepromSize; ++address) {
        load.image[static_cast<std::size_t>(address)] = link.ReadEepromByte(address);
        if (link.GivenUp()) {
            load.end = KoraLoadEnd::Silent;
            break;
        }
        if (!progress(address)) {
            load.end = KoraLoadEnd::Stopped;
            break;
        }
    }
    return load;
}

}  // namespace marelos
