#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/divecomputers/kora_eeprom.h"
#include "core/divecomputers/serial_link.h"

namespace marelos {

// A read waits this long for its two reply bytes; a KORA 4 answers within milliseconds, so a
// read that gets nothing in a second is not answered at all.
inline constexpr int kKoraReplyTimeoutMs = 1000;
// This many failed reads in a row (no reply in time, or none that fits) end a load or a settings
// read.
inline constexpr int kKoraFailedReadsToGiveUp = 3;
// A whole load ends after this long: a KORA 4 at 2400 baud reads its memory in about 80 s.
inline constexpr int kKoraLoadDeadlineMs = 180000;
inline constexpr std::string_view kKoraSilentMessage =
    "Der KORA 4 antwortet nicht. Bitte Kabel, Anschluss und eingestellte Schnittstelle prüfen.";

// Lets the user interface run until `count` bytes wait on the link or `milliseconds` have passed.
using WaitForBytes = std::function<void(std::size_t count, int milliseconds)>;
// Milliseconds on a steady clock.
using ClockMs = std::function<long long()>;
long long SteadyClockMs();

// The request bytes: command, address low byte, address high byte (and for a write the value and
// the XOR of the four bytes before the checksum).
std::array<std::uint8_t, 3> KoraReadRequest(int address);
std::array<std::uint8_t, 5> KoraWriteRequest(int address, int value);
// The data byte of the reply to a read of `address`: data and checksum, the checksum being the
// XOR of the three request bytes and the data. -1 when the reply is short or does not fit.
int KoraReplyValue(int address, std::span<const std::uint8_t> reply);

// Why reads failed: no reply in time, or replies that did not fit their request (late replies
// to an earlier read, damaged bytes), or a port that went away.
enum class KoraFailure { None, Silent, Garbled, Lost };

// The byte exchange with a KORA 4 through an open link.
class KoraLink {
  public:
    KoraLink(SerialLink& link, WaitForBytes wait, int replyTimeoutMs = kKoraReplyTimeoutMs,
             ClockMs clock = SteadyClockMs)
        : link_(link),
          wait_(std::move(wait)),
          replyTimeoutMs_(replyTimeoutMs),
          clock_(std::move(clock)) {}

    // The byte at the address, or -1 when no reply that fits its checksum comes in time. Pairs
    // of bytes that do not fit are late replies to an earlier read (or damaged) and are dropped.
    int ReadEepromByte(int address);
    // Sends the write and returns at once; the device does not answer it. False when the bytes
    // could not be sent (a port that is not open).
    bool WriteEepromByte(int address, int value);
    // Reads in a row that failed.
    int FailedReads() const { return failedReads_; }
    bool GivenUp() const { return failedReads_ >= kKoraFailedReadsToGiveUp; }
    // What the last failed reads met.
    KoraFailure LastFailure() const { return lastFailure_; }
    // A new command gives the device a new chance.
    void ForgetFailures() {
        failedReads_ = 0;
        lastFailure_ = KoraFailure::None;
    }
    long long NowMs() const { return clock_(); }

  private:
    int Failed(KoraFailure failure);

    SerialLink& link_;
    WaitForBytes wait_;
    int replyTimeoutMs_;
    ClockMs clock_;
    int failedReads_ = 0;
    KoraFailure lastFailure_ = KoraFailure::None;
};

// How a load of the whole EEPROM ended.
enum class KoraLoadEnd { Complete, Stopped, Silent, Garbled, Lost, Overdue };

struct KoraLoad {
    KoraEeprom image = EmptyKoraEeprom();  // entries not read stay -1
    KoraLoadEnd end = KoraLoadEnd::Complete;
    int read = 0;  // the addresses read, from 0 on
};

// The program's message for reads that failed so: the device silent, its replies garbled or
// late, or the port gone; empty for None.
std::string KoraFailureMessage(KoraFailure failure);

// Reads the settings window's fields; once the device has stopped answering, the remaining
// fields show a failed read without waiting for it again.
std::vector<KoraSettingField> ReadKoraSettings(KoraLink& link, std::string_view decimalSeparator);

// How many dives a load lists. A load that ended early leaves out a last dive whose end byte was
// not read yet, so that no dive is shown cut short as if it were whole.
int ListedKoraDives(const KoraLoad& load);

// What a load tells the user: the list of its dives (a dive with a failed byte marked
// incomplete), and what went wrong, if anything, as one message.
struct KoraLoadReport {
    std::vector<std::string> dives;
    std::string message;  // empty after a load in which every byte arrived
    bool failed = false;  // the load did not read every byte right (a stop by the user is none)
};
KoraLoadReport ReportKoraLoad(const KoraLoad& load);

// Reads addresses 0..4096 one by one. `progress` runs after each read with its address and
// returns false to stop; the load also ends when the device stops answering, when the port goes
// away, and when it has taken longer than `deadlineMs`.
KoraLoad LoadKoraEeprom(KoraLink& link, const std::function<bool(int address)>& progress,
                        long long deadlineMs = kKoraLoadDeadlineMs);

}  // namespace marelos
