#include "app/messages.h"

#include <array>
#include <string>

#include "app/context.h"

namespace merlinox {

namespace {

// Indexed by the runtime's error number. Linux errno values agree with the table for
// the numbers users meet (2 no such file, 28 disk full); 13, a denied access, reads
// "Ungültige Daten" because the table has always been used by number.
constexpr std::array<std::string_view, 49> kErrorTexts = {
    " ",
    "Ungültige Funktionsnummer",
    "Datei oder Verzeichnis existiert nicht",
    "Pfad nicht gefunden",
    "Zu viele Dateien offen",
    "Zugriff verweigert",
    "Ungültiges Dateihandle",
    "Speicherblöcke zerstört",
    "Zu wenig Speicher",
    "Ungültige Speicherblockadresse",
    "Ungültiges Environment",
    "Ungültiges Format",
    "Ungültiger Zugriffscode",
    "Ungültige Daten",
    "Unbekannter Fehler",
    "Ungültige Laufwerksangabe",
    "Versuch das aktuelle Verzeichnis zu löschen",
    "Nicht das gleiche Gerät",
    "Keine Dateien mehr",
    "Ungültiges Argument",
    "Argumentliste zu lang",
    "Fehler beim EXEC-Format",
    "Kreuzverbindung von Geräten",
    "Zu viele Dateien offen",
    "no child process",
    "Unix only",
    "Unix only",
    "Unix only",
    "Kein Platz mehr auf dem Gerät",
    "Ungültiges SEEK-Kommando",
    "Read only Dateisystem",
    "Unix only",
    "Unterbrochene Pipeline",
    "Mathe Argumentfehler",
    "Ergebnis zu groß",
    "Datei existiert schon",
    "Datei ist verriegelt",
    "Operation nicht erlaubt",
    "Unix only",
    "Unterbrochener Funktionsaufruf",
    "Eingabe/Ausgabe Fehler",
    "Gerät oder Adresse existiert nicht",
    "Resource zur Zeit nicht verfügbar",
    "Unix only",
    "Resource ist beschäftigt",
    "Unix only",
    "Unix only",
    "Unix only",
    " ",
};

// Beyond the table (Linux has numbers up to about 133, among them ENAMETOOLONG 36 and
// ELOOP 40 that the table already names differently): a plain German text that never
// leaves the report without an explanation.
constexpr std::string_view kUnlistedError = "Unbekannter Fehler des Betriebssystems";

int Ask(Context& ctx, BoxKind kind, std::string_view text) {
    if (ctx.settings.messageBeap != 0) ctx.ui->Beep();
    return ctx.ui->ShowBox(kind, text);
}

}  // namespace

void ShowInfo(Context& ctx, std::string_view text) { Ask(ctx, BoxKind::Info, text); }

int AskRetryCancel(Context& ctx, std::string_view text) {
    return Ask(ctx, BoxKind::RetryCancel, text) == kIdRetry ? kIdRetry : kIdCancel;
}

int AskOkCancel(Context& ctx, std::string_view text) {
    return Ask(ctx, BoxKind::OkCancel, text) == kIdOk ? kIdOk : kIdCancel;
}

void ShowPlain(Context& ctx, std::string_view text) { ctx.ui->ShowBox(BoxKind::Plain, text); }

std::string_view ErrorText(int errorNumber) {
    if (errorNumber >= 0 && static_cast<std::size_t>(errorNumber) < kErrorTexts.size()) {
        return kErrorTexts[static_cast<std::size_t>(errorNumber)];
    }
    return kUnlistedError;
}

void ShowFileError(Context& ctx, std::string_view path, int errorNumber) {
    // Composed in a buffer of its own: the caller may still hold a line in messageBuffer.
    MessageBuffer report;
    report.Set("Fehler beim Öffnen der Datei\n\n");
    report.Append("%.*s\n\n", static_cast<int>(path.size()), path.data());
    const std::string_view reason = ErrorText(errorNumber);
    report.Append("%.*s", static_cast<int>(reason.size()), reason.data());
    ShowPlain(ctx, report.View());
}

}  // namespace merlinox
