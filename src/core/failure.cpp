#include "failure.h"

namespace marelos {

std::string FailureMessage(const Failure& failure) {
    switch (failure.kind) {
        case FailureKind::ReadError:
            return "Die Datei " + failure.subject + " konnte nicht gelesen werden.";
        case FailureKind::WriteError:
            return "Die Datei " + failure.subject +
                   " konnte nicht geschrieben werden. Die bisherige Datei bleibt unverändert.";
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
