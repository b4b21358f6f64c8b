#pragma once

#include <optional>
#include <string>

#include "core/failure.h"
#include "core/planner/dive_slate.h"

class QPagedPaintDevice;
class QPainter;

namespace marelos {

// Paints the slate on a painter whose device has `dotsPerInch` and whose area is `width` by
// `height` device pixels: the page at its own size, made smaller only where the area is smaller.
void PaintDiveSlate(QPainter& painter, double dotsPerInch, double width, double height,
                    const DiveSlate& slate);

// The slate on one portrait page of a paged device that is ready (a printer the print dialog
// chose, a PDF writer); false when the device could not be painted on.
bool PrintDiveSlate(QPagedPaintDevice& device, const DiveSlate& slate);

// The slate as a one-page A4 PDF at `path`, through a temporary file that replaces an older one
// only when complete. Needs a QGuiApplication (the fonts).
std::optional<Failure> SaveDiveSlatePdf(const DiveSlate& slate, const std::string& path);

}  // namespace marelos
