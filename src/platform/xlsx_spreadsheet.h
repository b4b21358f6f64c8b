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
// writes the workbook (as a FileReplacement of the file at `path`, so an old workbook is replaced
// only by a complete one); opening starts the given program with it, or the desktop's program for
// .xlsx files when none is named (empty or "NOVALUE").
class XlsxSpreadsheetLink : public SpreadsheetLink {
  public:
    XlsxSpreadsheetLink(const QString& path, const QString& program);
    ~XlsxSpreadsheetLink() override;
    XlsxSpreadsheetLink(const XlsxSpreadsheetLink&) = delete;
    XlsxSpreadsheetLink& operator=(const XlsxSpreadsheetLink&) = delete;

    bool Poke(int row, int column, std::string_view text) override;
    std::optional<Failure> Finish() override;
    bool Open() override;
    std::string Location() const override;

  private:
    QString path_;
    QString program_;
    std::optional<FileReplacement> replacement_;
    std::optional<Failure> refusal_;  // why the file cannot be replaced
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* worksheet_ = nullptr;
};

}  // namespace marelos
