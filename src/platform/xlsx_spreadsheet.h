#pragma once

#include <QString>
#include <optional>
#include <string_view>

#include "core/ui/spreadsheet_link.h"

struct lxw_workbook;
struct lxw_worksheet;

namespace marelos {

// The spreadsheet as an .xlsx workbook: cells holding numbers become number cells. Finishing
// writes the workbook; opening starts the given program with it, or the desktop's program for
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
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* worksheet_ = nullptr;
};

}  // namespace marelos
