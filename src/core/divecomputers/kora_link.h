#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "core/divecomputers/kora_eeprom.h"
#include "core/divecomputers/serial_link.h"

namespace marelos {

// A read waits this long for its two reply bytes; a KORA 4 answers within milliseconds, so a
// read that gets nothing in a second is not answered at all.
inline constexpr int kKoraReplyTimeoutMs = 1000;
// This many unanswered reads in a row end a load or a settings read.
inline constexpr int kKoraSilentReadsToGiveUp = 3;
inline constexpr std::string_view kKoraSilentMessage =
    "Der KORA 4 antwortet nicht. Bitte Kabel, Anschluss und eingestellte Schnittstelle prüfen.";

// Lets the user interface run until `count` bytes wait on the link or `milliseconds` have passed.
using WaitForBytes = std::function<void(std::size_t count, int milliseconds)>;

// The request bytes: command, address low byte, address high byte (and for a write the value and
// the XOR of the four bytes before the checksum).
std::array<std::uint8_t, 3> KoraReadRequest(int address);
std::array<std::uint8_t, 5> KoraWriteRequest(int address, int value);
// The data byte of the reply to a read of `address`: data and checksum, the checksum being the
// XOR of the three request bytes and the data. -1 when the reply is short or does not fit.
int KoraReplyValue(int address, std::span<const std::uint8_t> reply);

// The byte exchange with a KORA 4 through an open link.
class KoraLink {
  public:
    KoraLink(SerialLink& link, WaitForBytes wait, int replyTimeoutMs = kKoraReplyTimeoutMs)
        : link_(link), wait_(std::move(wait)), replyTimeoutMs_(replyTimeoutMs) {}

    // The byte at the address, or -1 when the reply's checksum fails or no reply comes in time.
    int ReadEepromByte(int address);
    // Sends the write and returns at once; the device does not answer it. False when the bytes
    // could not be sent (a port that is not open).
    bool WriteEepromByte(int address, int value);
    // Reads in a row that got no reply (a short reply counts as none).
    int SilentReads() const { return silentReads_; }
    bool GivenUp() const { return silentReads_ >= kKoraSilentReadsToGiveUp; }
    // A new command gives the device a new chance.
    void ForgetSilence() { silentReads_ = 0; }

  private:
    SerialLink& link_;
    WaitForBytes wait_;
    int replyTimeoutMs_;
    int silentReads_ = 0;
};

// How a load of the whole EEPROM ended.
enum class KoraLoadEnd { Complete, Stopped, Silent };

struct KoraLoad {
    KoraEeprom image = EmptyKoraEeprom();  // entries not read stay -1
    KoraLoadEnd end = KoraLoadEnd::Complete;
};

// Reads the settings window's fields; once the device has stopped answering, the remaining
// fields show a failed read without waiting for it again.
std::vector<KoraSettingField> ReadKoraSettings(KoraLink& link, std::string_view decimalSeparator);

// How many dives a load lists. A load that ended early leaves out a last dive whose end byte was
// not read yet, so that no dive is shown cut short as if it were whole.
int ListedKoraDives(const KoraLoad& load);

// Reads addresses 0..4096 one by one. `progress` runs after each read with its address and
// returns false to stop; the load also ends when the device stops answering.
KoraLoad LoadKoraEeprom(KoraLink& link, const std::function<bool(int address)>& progress);

}  // namespace marelos
