#include "failure.h"

#include <system_error>

namespace marelos {
namespace {

const char* GermanErrorText(std::errc error) {
    switch (error) {
        case std::errc::no_such_file_or_directory:
            return "Datei oder Ordner nicht gefunden";
        case std::errc::permission_denied:
        case std::errc::operation_not_permitted:
            return "Zugriff verweigert";
        case std::errc::is_a_directory:
            return "Der Pfad ist ein Ordner";
        case std::errc::not_a_directory:
            return "Ein Teil des Pfades ist kein Ordner";
        case std::errc::io_error:
            return "Ein-/Ausgabefehler";
        case std::errc::no_space_on_device:
            return "Kein Platz mehr auf dem Datenträger";
        case std::errc::read_only_file_system:
            return "Der Datenträger ist schreibgeschützt";
        case std::errc::filename_too_long:
            return "Der Dateiname ist zu lang";
        case std::errc::too_many_symbolic_link_levels:
            return "Zu viele symbolische Verknüpfungen";
        case std::errc::too_many_files_open:
        case std::errc::too_many_files_open_in_system:
            return "Zu viele offene Dateien";
        case std::errc::invalid_argument:
            return "Keine gewöhnliche Datei";
        default:
            return nullptr;
    }
}

}  // namespace

std::string SystemErrorText(int errorNumber) {
    const char* german = GermanErrorText(static_cast<std::errc>(errorNumber));
    const std::string text = german ? german : std::generic_category().message(errorNumber);
    return text + " (Fehler " + std::to_string(errorNumber) + ")";
}

std::string FailureMessage(const Failure& failure) {
    switch (failure.kind) {
        case FailureKind::ReadError:
            return "Die Datei konnte nicht gelesen werden: " +
                   (failure.cause.empty() ? "Ursache unbekannt" : failure.cause) + " '" +
                   failure.subject + "'";
        case FailureKind::TooLarge:
            return "Die Datei " + failure.subject + " ist zu groß und wird nicht gelesen.";
        case FailureKind::WriteError:
            return "Die Datei " + failure.subject + " konnte nicht geschrieben werden." +
                   (failure.newFile ? "" : " Die bisherige Datei bleibt unverändert.");
        case FailureKind::ReadOnly:
            return "Die Datei " + failure.subject +
                   " ist schreibgeschützt und wurde nicht überschrieben.";
        case FailureKind::Unrepresentable:
            return "Das Zeichen „" + failure.subject +
                   "“ lässt sich in einer Datei mit westeuropäischem Zeichensatz "
                   "(Windows-1252) nicht speichern. Bitte ersetzen Sie es.";
        case FailureKind::Timeout:
            return "Keine Antwort von " + failure.subject + ".";
        case FailureKind::Protocol:
            return "Unerwartete Antwort von " + failure.subject + ".";
        case FailureKind::DataFormat:
            return "Die Daten in " + failure.subject + " haben nicht das erwartete Format.";
        case FailureKind::Cancelled:
            return "Abgebrochen.";
    }
    return "Unbekannter Fehler.";
}

}  // namespace marelos
