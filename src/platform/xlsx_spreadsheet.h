#pragma once

#include <QString>
#include <optional>
#include <string_view>

#include "core/text/file_replacement.h"
#include "core/ui/spreadsheet_link.h"

struct lxw_workbook;
struct lxw_worksheet;

namespace marelos {

// The spreadsheet as an .xlsx workbook: cells holding numbers become number cells. Finishing
// writes the workbook (as a FileReplacement of the file at `path`) and opens it in the given
// program, or in the desktop's program for .xlsx files when none is named (an empty `program` with
// `open` false opens nothing).
class XlsxSpreadsheetLink : public SpreadsheetLink {
  public:
    XlsxSpreadsheetLink(const QString& path, const QString& program, bool open);
    ~XlsxSpreadsheetLink() override;
    XlsxSpreadsheetLink(const XlsxSpreadsheetLink&) = delete;
    XlsxSpreadsheetLink& operator=(const XlsxSpreadsheetLink&) = delete;

    bool Poke(int row, int column, std::string_view text) override;
    std::optional<Failure> Finish() override;

  private:
    QString path_;
    QString program_;
    bool open_;
    std::optional<FileReplacement> replacement_;
    std::optional<Failure> refusal_;  // why the file cannot be replaced
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* worksheet_ = nullptr;
};

}  // namespace marelos
