#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/failure.h"
#include "core/ui/ui.h"

namespace marelos {

// A log of this many bytes or more is refused: the log is read whole into memory first.
inline constexpr std::size_t kDatatrakMaxBytes = 256000;

// Text in the DOS code page of the log as program text: the German letters in both their DOS
// and their Windows numbers, printable ASCII as it is; every other byte is dropped.
std::string ConvertDosText(std::string_view dos);

// A day count from 1 January 1600 (day 0) as "dd-mm-yyyy", and its year.
struct LogDate {
    long long year;
    std::string text;
};
LogDate DateFromDays(unsigned long days);

// One dive's profile file: its full path and its lines, comments included.
struct DatatrakFile {
    std::string path;
    std::vector<std::string> lines;
};

// Where an import run shows its progress: the window (list, progress bar, Escape) or the
// command line (printed lines).
class DatatrakView {
  public:
    virtual ~DatatrakView() = default;
    virtual void List(const std::string& line) = 0;
    // Writes a dive's file (atomically: a failed write leaves an older file as it was).
    virtual std::optional<Failure> Write(const DatatrakFile& file);
    // Called after every record with the position reached: lets the user interface run; true
    // when the user has asked to cancel and confirmed it.
    virtual bool Cancelled(std::size_t /*position*/, std::size_t /*size*/) { return false; }
};

enum class DatatrakEnd { AllDives, EndOfData, Cancelled, Failed };

// How a run ended: the closing message for the message box, and how many files were written.
struct DatatrakOutcome {
    DatatrakEnd end;
    int written;
    std::string message;
    MessageIcon icon;
};

// Walks the log's records from offset 12 and lists every dive whose year lies in 1980..2020 and
// that has 1..3000 profile bytes; an air or nitrox dive (sample stride 7 or 8) also becomes the
// file "<log name> Luft|Nitrox Datatrak TG <number>.mrp" in the storage folder, a dive of stride 9
// is listed only. A record runs up to the next record mark (0xA0 0x00, both bytes inside the
// log). Bytes a truncated record would hold beyond the log read as 0, so a damaged log ends the
// walk at the end of its data; a dive whose profile bytes (counted from t+52) run past the end of
// the log is listed, not saved. Bytes without a record mark behind the header are no log and are
// refused (Failed) before anything is listed. The walk ends normally when more dives were listed
// than the log's header counts; a write failure stops it, and the files written before stay.
DatatrakOutcome RunDatatrakImport(std::string_view bytes, std::string_view logPath,
                                  std::string_view storageFolder, DatatrakView& view);

// Lists "Lese Datei...", reads the log (refusing one of kDatatrakMaxBytes or more), creates the
// storage folder when it is missing and runs the import.
DatatrakOutcome ImportDatatrakFile(const std::string& logPath, const std::string& storageFolder,
                                   DatatrakView& view);

// What a whole run lists and writes, without touching the disk.
struct DatatrakConversion {
    std::vector<std::string> listLines;
    std::vector<DatatrakFile> files;
    DatatrakOutcome outcome;
};
DatatrakConversion ConvertDatatrakLog(std::string_view bytes, std::string_view logPath,
                                      std::string_view storageFolder);

// The folder of a chosen log, up to and including its last "/", kept as the next start folder.
std::string DatatrakLastPath(std::string_view logPath);

}  // namespace marelos
