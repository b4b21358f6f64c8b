#include "xlsx_spreadsheet.h"

#include <xlsxwriter.h>

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>
#include <cmath>
#include <string>
#include <utility>

#include "core/text/number_format.h"
#include "core/text/val.h"
#include "platform/qt_convert.h"

namespace marelos {

XlsxSpreadsheetLink::XlsxSpreadsheetLink(const QString& path, const QString& program)
    : path_(path), program_(program) {
    // The workbook is written beside the file and takes its place only when it is complete.
    Result<FileReplacement> begun = FileReplacement::Begin(ToStdString(path));
    if (!begun) {
        refusal_ = begun.failure();
        return;
    }
    replacement_.emplace(std::move(begun).value());
    workbook_ = workbook_new(replacement_->TemporaryPath().c_str());
    if (workbook_) worksheet_ = workbook_add_worksheet(workbook_, "TABELLE1");
}

XlsxSpreadsheetLink::~XlsxSpreadsheetLink() {
    if (workbook_) workbook_close(workbook_);
}

bool XlsxSpreadsheetLink::Poke(int row, int column, std::string_view text) {
    if (!worksheet_ || row < 1 || column < 1) return false;
    const auto r = static_cast<lxw_row_t>(row - 1);
    const auto c = static_cast<lxw_col_t>(column - 1);
    const std::string cell(text);
    // A text that is exactly a number in the program's own form goes in as a number.
    const double value = Val(cell);
    const lxw_error error = std::isfinite(value) && FormatGeneral(value) == cell
                                ? worksheet_write_number(worksheet_, r, c, value, nullptr)
                                : worksheet_write_string(worksheet_, r, c, cell.c_str(), nullptr);
    return error == LXW_NO_ERROR;
}

std::optional<Failure> XlsxSpreadsheetLink::Finish() {
    if (refusal_) return refusal_;
    const Failure failure{FailureKind::WriteError, ToStdString(path_)};
    if (!workbook_) return failure;
    const lxw_error error = workbook_close(workbook_);
    workbook_ = nullptr;
    worksheet_ = nullptr;
    if (error != LXW_NO_ERROR) return failure;
    if (const auto notReplaced = replacement_->Commit()) return notReplaced;
    return std::nullopt;
}

bool XlsxSpreadsheetLink::Open() {
    if (!program_.isEmpty() && program_.compare("NOVALUE", Qt::CaseInsensitive) != 0) {
        return QProcess::startDetached(program_, {path_});
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path_));
}

std::string XlsxSpreadsheetLink::Location() const {
    return ToStdString(path_);
}

}  // namespace marelos
