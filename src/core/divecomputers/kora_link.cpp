#include "core/divecomputers/kora_link.h"

#include <algorithm>
#include <chrono>
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

long long SteadyClockMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int KoraLink::Failed(KoraFailure failure) {
    // A row of failures that met a reply that did not fit is a garbled row, not a silent one.
    if (failedReads_++ == 0 || failure != KoraFailure::Silent) lastFailure_ = failure;
    return -1;
}

int KoraLink::ReadEepromByte(int address) {
    if (!link_.IsOpen()) return Failed(KoraFailure::Lost);
    // What is still waiting is the late reply to a read given up on: it belongs to no request.
    link_.Read(link_.BytesWaiting());
    if (!link_.Write(KoraReadRequest(address))) {
        return Failed(link_.IsOpen() ? KoraFailure::Silent : KoraFailure::Lost);
    }
    // A late reply to an earlier read can still come in now; its checksum, made over its own
    // address, does not fit this one, so it is dropped and the wait goes on for the real reply.
    const long long deadline = clock_() + replyTimeoutMs_;
    bool garbled = false;
    for (long long left = replyTimeoutMs_; left > 0; left = deadline - clock_()) {
        wait_(kReplyBytes, static_cast<int>(left));
        if (link_.BytesWaiting() < kReplyBytes) break;
        const int value = KoraReplyValue(address, link_.Read(kReplyBytes));
        if (value >= 0) {
            ForgetFailures();
            return value;
        }
        garbled = true;
    }
    if (!link_.IsOpen()) return Failed(KoraFailure::Lost);
    return Failed(garbled ? KoraFailure::Garbled : KoraFailure::Silent);
}

bool KoraLink::WriteEepromByte(int address, int value) {
    return link_.Write(KoraWriteRequest(address, value));
}

std::vector<KoraSettingField> ReadKoraSettings(KoraLink& link, std::string_view decimalSeparator) {
    link.ForgetFailures();
    return ReadKoraSettings(
        [&link](int address) { return link.GivenUp() ? -1 : link.ReadEepromByte(address); },
        decimalSeparator);
}

std::string KoraFailureMessage(KoraFailure failure) {
    switch (failure) {
        case KoraFailure::Silent:
            return std::string(kKoraSilentMessage);
        case KoraFailure::Garbled:
            return "Der KORA 4 antwortet zu spät oder mit falschen Prüfsummen. Bitte Kabel, "
                   "Anschluss und eingestellte Schnittstelle prüfen.";
        case KoraFailure::Lost:
            return "Die Verbindung zum KORA 4 ist abgebrochen: der Speicher wurde nicht ganz "
                   "gelesen.";
        case KoraFailure::None:
            break;
    }
    return "";
}

int ListedKoraDives(const KoraLoad& load) {
    const int count = CountKoraDives(load.image);
    if (load.end == KoraLoadEnd::Complete || count == 0) return count;
    const auto lastStart = std::find(load.image.rbegin(), load.image.rend(), kKoraDiveStart);
    const bool ended = std::find(load.image.rbegin(), lastStart, kKoraDiveEnd) != lastStart;
    return ended ? count : count - 1;
}

KoraLoadReport ReportKoraLoad(const KoraLoad& load) {
    KoraLoadReport report;
    const int listed = ListedKoraDives(load);
    report.dives = KoraDiveList(load.image, listed);
    std::vector<std::string> messages;
    switch (load.end) {
        case KoraLoadEnd::Silent:
            messages.push_back(KoraFailureMessage(KoraFailure::Silent));
            break;
        case KoraLoadEnd::Garbled:
            messages.push_back(KoraFailureMessage(KoraFailure::Garbled));
            break;
        case KoraLoadEnd::Lost:
            messages.push_back(KoraFailureMessage(KoraFailure::Lost));
            break;
        case KoraLoadEnd::Overdue:
            messages.emplace_back(
                "Der KORA 4 antwortet zu langsam: der Speicher wurde in der erlaubten Zeit nicht "
                "ganz gelesen.");
            break;
        case KoraLoadEnd::Complete:
        case KoraLoadEnd::Stopped:
            break;
    }
    if (listed < CountKoraDives(load.image)) {  // said already when the load broke off
        messages.push_back(
            std::string(messages.empty() ? "Der Speicher wurde nicht ganz gelesen. " : "") +
            "Der letzte Tauchgang ist unvollständig und wird nicht angezeigt.");
    }
    // Bytes that failed their read: inside a dive they make it incomplete; outside every dive
    // one of them may have been the start byte of a dive that is now missing from the list.
    std::vector<bool> inDive(load.image.size(), false);
    for (int n = 1; n <= listed; ++n) {
        if (const auto span = FindKoraDive(load.image, n)) {
            const std::size_t last = std::min(span->end + 1, inDive.size());
            std::fill(inDive.begin() + static_cast<std::ptrdiff_t>(span->start),
                      inDive.begin() + static_cast<std::ptrdiff_t>(last), true);
        }
    }
    int failed = 0;
    bool outside = false;
    for (std::size_t a = 0; a < static_cast<std::size_t>(load.read); ++a) {
        if (load.image[a] >= 0) continue;
        ++failed;
        outside = outside || !inDive[a];
    }
    if (failed > 0) {
        messages.push_back(
            std::to_string(failed) + (failed == 1 ? " Byte" : " Bytes") + " des Speichers kam" +
            (failed == 1 ? "" : "en") +
            " mit falscher Prüfsumme oder gar nicht an: Tauchgänge mit einem solchen Byte sind "
            "als unvollständig markiert und werden nicht gezeigt." +
            (outside ? " Ein solches Byte außerhalb der Tauchgänge kann der Beginn eines "
                       "Tauchgangs gewesen sein, der in der Liste fehlt."
                     : ""));
    }
    for (const std::string& message : messages)
        report.message += (report.message.empty() ? "" : " ") + message;
    report.failed =
        failed > 0 || (load.end != KoraLoadEnd::Complete && load.end != KoraLoadEnd::Stopped);
    return report;
}

KoraLoad LoadKoraEeprom(KoraLink& link, const std::function<bool(int address)>& progress,
                        long long deadlineMs) {
    link.ForgetFailures();
    KoraLoad load;
    const long long started = link.NowMs();
    for (int address = 0; address < kKoraEepromSize; ++address) {
        load.image[static_cast<std::size_t>(address)] = link.ReadEepromByte(address);
        load.read = address + 1;
        if (link.LastFailure() == KoraFailure::Lost) {
            load.end = KoraLoadEnd::Lost;
            break;
        }
        if (link.GivenUp()) {
            load.end = link.LastFailure() == KoraFailure::Garbled ? KoraLoadEnd::Garbled
                                                                  : KoraLoadEnd::Silent;
            break;
        }
        if (link.NowMs() - started > deadlineMs) {
            load.end = KoraLoadEnd::Overdue;
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
