#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/failure.h"

namespace marelos {

// A spreadsheet that takes cells one at a time, addressed by row and column from 1.
class SpreadsheetLink {
  public:
    virtual ~SpreadsheetLink() = default;

    // Puts the text into the cell; false when the spreadsheet refuses it.
    virtual bool Poke(int row, int column, std::string_view text) = 0;
    // Completes the sheet where it is kept; the failure, if any.
    virtual std::optional<Failure> Finish() = 0;
    // Opens the finished sheet in the spreadsheet program; false when none could be started.
    virtual bool Open() = 0;
    // Where the sheet is kept, as the user finds it.
    virtual std::string Location() const = 0;
};

}  // namespace marelos
