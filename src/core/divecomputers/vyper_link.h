#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/divecomputers/serial_link.h"
#include "core/settings/settings.h"

namespace marelos {

enum class VyperMode : std::int16_t { Idle = 0, ReadSettings = 1, DownloadDives = 2 };
enum class OverwriteChoice { Never, Ask, Always };

// What the user chose in the Vyper window before a transfer.
struct VyperOptions {
    int interfaceType = 1;  // 1 Suunto interface, 2 a home-built one that echoes every byte
    int comDelay = 350;     // extra wait after each command, in 5 ms steps
    std::string storageFolder;
    OverwriteChoice overwrite = OverwriteChoice::Never;
    bool abortWhenStored = false;  // stop at the first dive that is stored already
    int maxDives = 0;              // 0: all
    int maxErrors = 3;
};

// The port's line settings and the link's options as the user's settings give them (the parity
// letter upper-cased); the storage folder, overwrite choice and limits are the caller's.
LineSettings VyperLineSettings(const Settings& settings);
VyperOptions VyperOptionsFrom(const Settings& settings);

// Where the transfer shows what it does: the window, or the command line.
class VyperView {
  public:
    virtual ~VyperView() = default;
    virtual void List(const std::string& line) = 0;
    virtual void ShowBytes(long long total) = 0;
    virtual void ShowDiveNumber(long long number) = 0;
    virtual void ShowErrors(int count) = 0;  // a count above 0 is shown in red
    virtual void AddFile(const std::string& fileName) = 0;
    // Yes to replace a dive file that is stored already.
    virtual bool AskOverwrite(const std::string& fileName) = 0;
    // The chosen number of dives has arrived.
    virtual void DownloadFinished() = 0;
    // Waits the time, letting received bytes in and the user stop the transfer meanwhile.
    virtual void Pause(int milliseconds) = 0;
};

// The settings lines the Vyper's memory block (0..3) gives; `packet` starts with the answer's
// four command bytes, so memory byte `a` of the block is packet[4 + a % 32].
std::vector<std::string> VyperSettingsLines(int block, const std::vector<int>& packet);

// The request frame of a command: its bytes and their XOR as the last one.
std::vector<std::uint8_t> VyperFrame(std::string_view decimalBytes);

// The byte exchange with a Vyper through an open link: requests sent one per control tick,
// answers assembled byte by byte into packets, dives handed to the converter and stored.
class VyperLink {
  public:
    static constexpr std::size_t kBufferSlots = 8193;

    VyperLink(SerialLink& link, VyperView& view, VyperOptions options);

    void StartDownload();
    void StartReadSettings();
    void Stop();
    // One control tick: sends the next request, takes in its answer and processes it. True when
    // the next tick should follow.
    bool Tick();
    // Takes one waiting byte into the packet being received.
    void ReceiveByte();

    VyperMode Mode() const { return mode_; }
    int ErrorCount() const { return errorCount_; }
    int ReceivedDiveCount() const { return receivedDives_; }
    // Dives that arrived with a packet missing or cut off, or with values no Vyper records, and
    // were therefore not stored.
    int DamagedDiveCount() const { return damagedDives_; }
    // The port went away during the transfer (the device or its cable was pulled off).
    bool LinkLost() const { return linkLost_; }
    // What a download lacked, as the program's message: the port lost, damaged dives, or no dive
    // at all; empty after a download in which every dive arrived whole.
    std::string Shortfall() const;
    long long TotalBytes() const { return totalBytes_; }
    const VyperOptions& Options() const { return options_; }
    void SetOptions(VyperOptions options) { options_ = std::move(options); }

  private:
    void ResetCounters();
    void ResetReceiveBuffers();
    void DrainInput();
    void SendCommand(std::string_view decimalBytes);
    void SendDiveCommand(bool first);
    void ReadMemoryBlock(int address, int length);
    void TakePacket();
    void StoreDive();
    void RefuseDive(const std::string& line);
    void ListSettingsBlock();
    void EndWithLostLink();
    void ListClosingLines();
    void ShowProgressFish(long long step);

    SerialLink& link_;
    VyperView& view_;
    VyperOptions options_;
    VyperMode mode_ = VyperMode::Idle;
    int memoryBlock_ = 0;
    long long nextDive_ = 1;
    int errorCount_ = 0;
    int receivedDives_ = 0;
    long long totalBytes_ = 0;
    int damagedDives_ = 0;
    bool linkLost_ = false;
    int droppedPackets_ = 0;     // packets of the current answer that failed their checksum
    bool blockArrived_ = false;  // the memory block asked for came back whole
    int missingBlocks_ = 0;      // memory blocks of the settings read-out that did not
    std::vector<int> rx_ = std::vector<int>(kBufferSlots, 0);
    std::size_t rxCount_ = 0;
    std::size_t expected_ = 0;
    std::vector<std::uint8_t> dive_ = std::vector<std::uint8_t>(kBufferSlots, 0);
    std::size_t diveCount_ = 0;
    std::string previousDive_;  // the dive stored just before, the next newer one
};

}  // namespace marelos
