#pragma once

#include <optional>
#include <string_view>

#include "core/failure.h"

namespace marelos {

// A spreadsheet that takes cells one at a time, addressed by row and column from 1.
class SpreadsheetLink {
  public:
    virtual ~SpreadsheetLink() = default;

    // Puts the text into the cell; false when the spreadsheet refuses it.
    virtual bool Poke(int row, int column, std::string_view text) = 0;
    // Hands the finished sheet over to the spreadsheet program; the failure, if any.
    virtual std::optional<Failure> Finish() = 0;
};

}  // namespace marelos
