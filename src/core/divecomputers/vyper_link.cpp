#include "core/divecomputers/vyper_link.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/divecomputers/vyper_dive.h"
#include "core/text/codepage.h"
#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/paths.h"
#include "core/text/text_file.h"

namespace marelos {

namespace {

constexpr int kBlockBytes = 32;  // a settings block
constexpr std::size_t kDiveCommandEcho = 3;
constexpr std::size_t kDivePacket = 35;        // command byte, count, 32 data bytes, checksum
constexpr std::size_t kEchoedDivePacket = 38;  // the 3 command bytes echoed ahead of it
constexpr std::size_t kMemoryEcho = 5;

std::string Tabs(int count) {
    return std::string(static_cast<std::size_t>(count), '\t');
}

int Word(const std::vector<int>& packet, int offset) {
    return packet[static_cast<std::size_t>(4 + offset)] * 256 +
           packet[static_cast<std::size_t>(5 + offset)];
}

std::string Depth(int word) {
    return std::to_string(static_cast<long long>(std::floor(word / 128.0 * 0.3048))) + " m";
}

}  // namespace

std::vector<std::string> VyperSettingsLines(int block, const std::vector<int>& packet) {
    const auto at = [&](int offset) { return packet[static_cast<std::size_t>(4 + offset)]; };
    switch (block) {
        case 0:
            return {"Maximale Tauchtiefe:" + Tabs(2) + Depth(Word(packet, 30))};
        case 1: {
            std::string serial;
            for (int i = 5; i <= 8; ++i)
                serial += std::to_string(at(i));
            // The user's text without the control characters an unset or damaged memory holds
            // (a list shows them as boxes); the five bytes Windows-1252 leaves unassigned are
            // control characters too.
            std::string user;
            for (int i = 12; i <= 31; ++i) {
                const int c = at(i);
                const bool control = c < 32 || c == 127 || c == 0x81 || c == 0x8D || c == 0x8F ||
                                     c == 0x90 || c == 0x9D;
                if (!control) user += static_cast<char>(c);
            }
            return {"Messintervall:" + Tabs(3) + std::to_string(at(4)) + " sec.",
                    "Tauchgänge:" + Tabs(3) + std::to_string(Word(packet, 2)),
                    "Gesamte Tauchzeit:" + Tabs(2) + std::to_string(Word(packet, 0)) + " min.",
                    "Seriennummer:" + Tabs(3) + serial,
                    "Benutzerinfo:" + Tabs(3) + Windows1252ToUtf8(user)};
        }
        case 2:
            return {"Bytes TG-Daten:" + Tabs(3) + std::to_string(Word(packet, 17))};
        default:
            break;
    }
    std::vector<std::string> lines = {
        "Persönliche Einstellungen:" + Tabs(2) + std::to_string(at(0)),
        "Maßsystem                  " + Tabs(2) + (at(2) == 1 ? "metrisch" : "U.S.")};
    static constexpr const char* kModes[] = {"Luft", "Nitrox", "Tiefenmesser"};
    if (at(3) >= 0 && at(3) <= 2)
        lines.push_back("Rechnermodus Dekompression: " + Tabs(1) + kModes[at(3)]);
    lines.push_back("Beleuchtung: " + Tabs(3) + "Aus.");
    lines.push_back("Beleuchtung Dauer: " + Tabs(2) + std::to_string(at(4) & 0x7F));
    lines.push_back("Tauchzeitalarm: " + Tabs(3) + "Aus.");
    lines.push_back("Tauchtiefenalarm: " + Tabs(3) + (at(5) != 0 ? "An." : "Aus."));
    lines.push_back("Zeit bis Alarm: " + Tabs(3) + std::to_string(at(7)) + " min.");
    lines.push_back("Alarmtiefe: " + Tabs(3) + Depth(Word(packet, 8)));
    return lines;
}

LineSettings VyperLineSettings(const Settings& settings) {
    const char parity = settings.parity.empty() ? 'N' : settings.parity[0];
    return {settings.baudRate, static_cast<char>(std::toupper(static_cast<unsigned char>(parity))),
            settings.dataBits, settings.stopBits};
}

VyperOptions VyperOptionsFrom(const Settings& settings) {
    VyperOptions options;
    options.interfaceType = settings.interfaceType;
    options.comDelay = settings.comDelay;
    return options;
}

std::vector<std::uint8_t> VyperFrame(std::string_view decimalBytes) {
    std::vector<std::uint8_t> frame;
    std::uint8_t check = 0;
    for (int i = 1;; ++i) {
        const std::string field = GetField(decimalBytes, i);
        if (field.empty()) break;
        const auto byte = static_cast<std::uint8_t>(std::stoi(field) & 0xFF);
        frame.push_back(byte);
        check ^= byte;
    }
    frame.push_back(check);
    return frame;
}

VyperLink::VyperLink(SerialLink& link, VyperView& view, VyperOptions options)
    : link_(link), view_(view), options_(std::move(options)) {}

void VyperLink::ResetCounters() {
    nextDive_ = 1;
    totalBytes_ = 0;
    errorCount_ = 0;
    receivedDives_ = 0;
    damagedDives_ = 0;
    linkLost_ = false;
    missingBlocks_ = 0;
    previousDive_.clear();
    view_.ShowBytes(0);
    view_.ShowDiveNumber(0);
    view_.ShowErrors(0);
    DrainInput();
    ResetReceiveBuffers();
}

void VyperLink::StartDownload() {
    ResetCounters();
    mode_ = VyperMode::DownloadDives;
}

void VyperLink::StartReadSettings() {
    ResetCounters();
    memoryBlock_ = 0;
    mode_ = VyperMode::ReadSettings;
    view_.List("Lese Speicher von Vyper...");
}

void VyperLink::Stop() {
    DrainInput();
    mode_ = VyperMode::Idle;
    ShowProgressFish(1);
    view_.List("Übertragung unterbrochen.");
}

void VyperLink::ResetReceiveBuffers() {
    rxCount_ = 0;
    diveCount_ = 0;
    expected_ = 0;
    droppedPackets_ = 0;
    blockArrived_ = false;
    std::fill(rx_.begin(), rx_.end(), 0);
    std::fill(dive_.begin(), dive_.end(), 0);
}

void VyperLink::DrainInput() {
    while (link_.BytesWaiting() > 0)
        link_.Read(link_.BytesWaiting());
}

void VyperLink::SendCommand(std::string_view decimalBytes) {
    const std::vector<std::uint8_t> frame = VyperFrame(decimalBytes);
    link_.SetRts(true);
    for (std::size_t i = 0; i + 1 < frame.size(); ++i)
        link_.Write({&frame[i], 1});
    view_.Pause(12);
    link_.Write({&frame.back(), 1});
    view_.Pause(100);
    link_.SetRts(false);
    view_.Pause(options_.comDelay * 5);
}

void VyperLink::SendDiveCommand(bool first) {
    DrainInput();
    ResetReceiveBuffers();
    expected_ = options_.interfaceType == 2 ? kEchoedDivePacket : kDivePacket;
    SendCommand(first ? "08 165" : "09 165");
}

void VyperLink::ReadMemoryBlock(int address, int length) {
    DrainInput();
    ResetReceiveBuffers();
    expected_ = static_cast<std::size_t>(length) + (options_.interfaceType == 1 ? 5 : 10);
    SendCommand("05 00 " + std::to_string(address) + " " + std::to_string(length));
}

void VyperLink::ReceiveByte() {
    if (link_.BytesWaiting() == 0) return;
    const std::vector<std::uint8_t> byte = link_.Read(1);
    if (byte.empty()) return;
    if (rxCount_ < kBufferSlots) rx_[rxCount_++] = byte[0];
    // A count byte below 32 marks the short, last packet of a dive.
    if (mode_ == VyperMode::DownloadDives && rxCount_ >= 2 && rx_[1] >= 1 && rx_[1] <= 31)
        expected_ = static_cast<std::size_t>(rx_[1]) + 3;
    if (rxCount_ < expected_) return;
    TakePacket();
}

void VyperLink::TakePacket() {
    const bool echoes = options_.interfaceType == 2;
    if (echoes && mode_ == VyperMode::ReadSettings && rxCount_ >= kMemoryEcho) {
        std::copy(rx_.begin() + kMemoryEcho, rx_.end(), rx_.begin());
        rxCount_ -= kMemoryEcho;
    }
    int check = 0;
    for (std::size_t i = 0; i + 1 < rxCount_; ++i)
        check ^= rx_[i];
    if (rxCount_ == 0 || check != rx_[rxCount_ - 1]) {
        view_.List(PadZero(static_cast<long long>(rxCount_), 2) + " Zeichen empfangen. CRC Falsch");
        ++droppedPackets_;
        rxCount_ = 0;
        return;
    }
    if (mode_ == VyperMode::ReadSettings) {
        // The answer repeats the request: an answer to another block is no answer to this one.
        blockArrived_ = rxCount_ == kBlockBytes + 5u && rx_[0] == 0x05 && rx_[1] == 0 &&
                        rx_[2] == memoryBlock_ * kBlockBytes && rx_[3] == kBlockBytes;
    }
    std::size_t start = 2;
    if (echoes && mode_ != VyperMode::ReadSettings && expected_ >= 36) {
        // The first packet after an echo: the packet itself starts behind the echoed command.
        start = expected_ - kDivePacket + 2;
        expected_ = kDivePacket;
    }
    const std::size_t count = start >= 1 ? static_cast<std::size_t>(rx_[start - 1]) : 0;
    for (std::size_t i = start; i < start + count && i < kBufferSlots && diveCount_ < kBufferSlots;
         ++i) {
        dive_[diveCount_++] = static_cast<std::uint8_t>(rx_[i]);
    }
    if (mode_ == VyperMode::DownloadDives)
        view_.List(PadZero(static_cast<long long>(rxCount_), 2) + " Zeichen empfangen. CRC OK");
    totalBytes_ += static_cast<long long>(rxCount_) - 3;
    view_.ShowBytes(totalBytes_);
    rxCount_ = 0;
}

void VyperLink::ShowProgressFish(long long step) {
    view_.List(ProgressFish(step));
}

void VyperLink::RefuseDive(const std::string& line) {
    view_.List(line);
    if (nextDive_ == 1) {
        // Asking for the newest dive again brings it whole if the line was at fault; a device
        // that always sends it damaged ends the transfer at the error limit.
        view_.List("Der neueste Tauchgang wird noch einmal angefordert.");
        view_.ShowErrors(++errorCount_);
        return;
    }
    ++receivedDives_;
    ++damagedDives_;
    view_.ShowDiveNumber(nextDive_);
    ++nextDive_;
    previousDive_.clear();  // no stored file is the dive before the next one
    ShowProgressFish(nextDive_);
}

void VyperLink::StoreDive() {
    // A packet that failed its checksum, or one that began and never ended, leaves a gap in the
    // dive: its depths are changes from sample to sample, so every depth after the gap is wrong.
    // The echo of the request alone is no answer (the end of the memory, or a silent device).
    const bool echoOnly =
        options_.interfaceType == 2 && diveCount_ == 0 && rxCount_ <= kDiveCommandEcho;
    const bool cutPacket = rxCount_ > 0 && !echoOnly;
    if (droppedPackets_ > 0 || cutPacket) {
        std::string missing;
        if (droppedPackets_ > 0) {
            missing = std::to_string(droppedPackets_) +
                      (droppedPackets_ == 1 ? " Datenpaket" : " Datenpakete") +
                      " mit falscher Prüfsumme verworfen";
        }
        if (cutPacket)
            missing += (missing.empty() ? "" : ", ") + std::string("ein Datenpaket brach ab");
        RefuseDive("Tauchgang Nr. " + std::to_string(nextDive_) +
                   " ist unvollständig angekommen (" + missing + "): er wird nicht gespeichert.");
        return;
    }
    const auto dive = ConvertVyperDive({dive_.data(), diveCount_}, previousDive_);
    if (!dive) {
        view_.ShowErrors(++errorCount_);
        return;
    }
    if (!dive->impossible.empty()) {
        RefuseDive(VyperRefusalLine(*dive));
        return;
    }
    ++receivedDives_;
    view_.ShowDiveNumber(nextDive_);
    ++nextDive_;
    const std::string fileName = dive->name + ".mrp";
    const std::string path = VyperDivePath(options_.storageFolder, dive->name);
    const bool stored = FileExists(path);
    previousDive_ = path;
    if (stored && options_.overwrite == OverwriteChoice::Never) {
        view_.List("Dieser Tauchgang wurde bereits abgespeichert:");
        view_.List(fileName);
        ShowProgressFish(nextDive_);
        if (options_.abortWhenStored) Stop();
        return;
    }
    if (stored && options_.overwrite == OverwriteChoice::Ask && !view_.AskOverwrite(fileName)) {
        ShowProgressFish(nextDive_);
        return;
    }
    for (const std::string& line : dive->summaryLines)
        view_.List(line);
    if (const auto failure = WriteTextFileLines(path, dive->fileLines)) {
        view_.List(FailureMessage(*failure));
    } else {
        view_.AddFile(fileName);
    }
    ShowProgressFish(nextDive_);
}

void VyperLink::ListSettingsBlock() {
    if (blockArrived_) {
        for (const std::string& line : VyperSettingsLines(memoryBlock_, rx_))
            view_.List(line);
    } else {
        ++missingBlocks_;
        view_.List("Keine gültige Antwort vom Vyper auf die Abfrage des Speichers ab Adresse " +
                   std::to_string(memoryBlock_ * kBlockBytes) + ": diese Werte fehlen.");
    }
    if (memoryBlock_ < 3) return;
    ShowProgressFish(1);
    view_.List(missingBlocks_ == 0 ? std::string("OK.")
                                   : "Die Einstellungen wurden nicht vollständig gelesen. Bitte "
                                     "Anschluss, Interface Typ und COM-Verzögerung prüfen.");
}

void VyperLink::EndWithLostLink() {
    linkLost_ = true;
    mode_ = VyperMode::Idle;
    view_.List("");
    view_.List(Shortfall());
}

std::string VyperLink::Shortfall() const {
    if (linkLost_) {
        return "Die Verbindung zum Vyper ist abgebrochen: die Übertragung ist unvollständig.";
    }
    if (damagedDives_ > 0) {
        return std::to_string(damagedDives_) +
               (damagedDives_ == 1 ? " Tauchgang kam" : " Tauchgänge kamen") +
               " unvollständig oder fehlerhaft an und wurde" + (damagedDives_ == 1 ? "" : "n") +
               " nicht gespeichert. Bitte die Übertragung wiederholen.";
    }
    if (receivedDives_ == 0) return "Vom Vyper ist kein Tauchgang angekommen.";
    return "";
}

void VyperLink::ListClosingLines() {
    for (const char* line : {"", "Übertragung beendet.", ""})
        view_.List(line);
    if (damagedDives_ > 0) view_.List(Shortfall());
    if (receivedDives_ > damagedDives_) {
        for (const std::string& line :
             {std::string(damagedDives_ > 0 ? "Die übrigen Tauchgänge wurden in das Datenformat "
                                              "von Marelos"
                                            : "Alle Tauchgänge wurden in das Datenformat von "
                                              "Marelos"),
              std::string("umgewandelt und im Ordner"), options_.storageFolder,
              std::string("abgespeichert.")}) {
            view_.List(line);
        }
    }
}

bool VyperLink::Tick() {
    bool again = false;
    if (mode_ == VyperMode::ReadSettings) {
        ReadMemoryBlock(memoryBlock_ * kBlockBytes, kBlockBytes);
        if (mode_ != VyperMode::ReadSettings) return false;
        while (link_.BytesWaiting() > 0)
            ReceiveByte();
        if (!link_.IsOpen()) {
            EndWithLostLink();
            return false;
        }
        ListSettingsBlock();
        again = ++memoryBlock_ <= 3;
    } else if (mode_ == VyperMode::DownloadDives) {
        SendDiveCommand(nextDive_ == 1);
        // The user may stop the transfer or close the window during the command's pauses: then
        // nothing is stored.
        if (mode_ != VyperMode::DownloadDives) return false;
        while (link_.BytesWaiting() > 0)
            ReceiveByte();
        // Bytes of a port that went away are no whole dive, whatever arrived before.
        if (!link_.IsOpen()) {
            EndWithLostLink();
            return false;
        }
        StoreDive();
        again = mode_ == VyperMode::DownloadDives;
        if (again && options_.maxDives > 0 && options_.maxDives < nextDive_) {
            again = false;
            view_.DownloadFinished();
        }
    }
    if (options_.maxErrors <= errorCount_) {
        again = false;
        ListClosingLines();
    }
    return again;
}

}  // namespace marelos
