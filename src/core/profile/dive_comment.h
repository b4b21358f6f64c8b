#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/failure.h"
#include "core/settings/settings_store.h"

namespace marelos {

inline constexpr int kCommentFieldCount = 14;

// The keys of a dive comment, by the index of their field; "Bemerkungen" (12) is the remark.
inline constexpr std::array<std::string_view, kCommentFieldCount> kCommentKeys = {
    "TG-Nummer",
    "Ort",
    "Gewässer",
    "Datum",
    "Uhrzeit",
    "Maximale Tiefe",
    "Dauer",
    "Oberflächenpause vor dem TG",
    "Lufttemperatur vor TG",
    "Temperatur auf maximaler Tiefe",
    "Aufzeichnungsintervall",
    "Atemgas(e)",
    "Bemerkungen",
    "Tauchpartner"};
inline constexpr int kRemarkField = 12;

using CommentFields = std::array<std::string, kCommentFieldCount>;

// The comment of a profile file: for every key the text after the first ":" of the last line
// that begins with the key, without surrounding blanks; empty when no line has the key.
Result<CommentFields> ReadDiveComment(const std::string& path);

// Replaces the comment of a profile file: its lines up to the end marker stay (an end marker is
// added when there is none), then one line "key: text" per field, the remark on one line. The
// last number, place and water are remembered for the next comment.
std::optional<Failure> SaveDiveComment(const std::string& path, const CommentFields& fields,
                                       SettingsStore& store);

// The breathing gas field with one more gas: "Luft" + "Nitrox" gives "Luft Nitrox".
std::string AddGas(const std::string& field, std::string_view gas);

// The profile file before or after `path` among the profile files (".mrp", ".prf") of its
// folder in name order; nothing at either end.
std::optional<std::string> NeighbourProfileFile(const std::string& path, int direction);

}  // namespace marelos
