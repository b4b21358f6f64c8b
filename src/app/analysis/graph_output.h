#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/failure.h"

class QImage;
class QPrinter;
class QWidget;

namespace marelos {

class ModalDialogs;
class PictureBox;
class QtCanvas;

// Paints the picture onto one landscape page of a printer that is ready to print: at the top
// left of the page, at the picture's own size (smaller only where the page is smaller), drawn
// again at the printer's resolution. The error text for the user, empty when it was printed.
std::string PrintPicture(const QtCanvas& picture, QPrinter& printer);

// Writes the picture to `path`, as PNG when the name ends in ".png", else as BMP, through a
// temporary file that replaces an older file only when complete.
std::optional<Failure> SavePicture(const QImage& picture, const std::string& path);

// The main graph on paper, in a picture file and on the clipboard.
class GraphOutput {
  public:
    GraphOutput(PictureBox& picture, ModalDialogs& dialogs);
    ~GraphOutput();

    // The profile's file name ("" when untitled) goes into the graph, then the graph to the
    // printer the print dialog chooses.
    void mnuPrintGraph(std::string_view profileFileName);
    // The page set-up; it holds for the following printouts of this run.
    void mnuSetPrinter();
    // The graph as a picture file, chosen in a save dialog that opens in `folder`.
    void mnuSavePic(std::string_view folder);
    void mnuCopyBMP();

  private:
    // Made at first use, so that starting the program never waits for the printing system.
    QPrinter& Printer();
    QWidget* Parent() const;

    PictureBox& picture_;
    ModalDialogs& dialogs_;
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace marelos
