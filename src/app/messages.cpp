#include "app/messages.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <string>

namespace merlinox::inline app {

namespace {

// The error texts as the program has always had them, numbered as the runtime they were
// written for numbered its errors. Linux numbers its errors differently (13 is a denied
// access here, "Ungültige Daten" there), so a text is picked by what the error means.
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

struct ErrorMeaning {
    int errorNumber;  // errno
    int entry;        // its text in kErrorTexts
};

constexpr ErrorMeaning kMeanings[] = {
    {0, 0},        {ENOSYS, 1}, {ENOENT, 2},  {ENOTDIR, 3}, {EMFILE, 4},  {EACCES, 5},
    {EBADF, 6},    {ENOMEM, 8}, {EFAULT, 9},  {ENODEV, 15}, {EINVAL, 19}, {E2BIG, 20},
    {ENOEXEC, 21}, {EXDEV, 22}, {ENFILE, 23}, {ECHILD, 24}, {ENOSPC, 28}, {ESPIPE, 29},
    {EROFS, 30},   {EPIPE, 32}, {EDOM, 33},   {ERANGE, 34}, {EEXIST, 35}, {ENOLCK, 36},
    {EPERM, 37},   {EINTR, 39}, {EIO, 40},    {ENXIO, 41},  {EAGAIN, 42}, {EBUSY, 44},
};

}  // namespace

int StandardMessages::Ask(BoxKind kind, std::string_view text) {
    if (settings_.messageBeap != 0) ui_.Beep();
    return ui_.ShowBox(kind, text);
}

void StandardMessages::ShowInfo(std::string_view text) { Ask(BoxKind::Info, text); }

int StandardMessages::AskRetryCancel(std::string_view text) {
    return Ask(BoxKind::RetryCancel, text) == kIdRetry ? kIdRetry : kIdCancel;
}

int StandardMessages::AskOkCancel(std::string_view text) {
    return Ask(BoxKind::OkCancel, text) == kIdOk ? kIdOk : kIdCancel;
}

void StandardMessages::ShowPlain(std::string_view text) { ui_.ShowBox(BoxKind::Plain, text); }

std::string ErrorText(int errorNumber) {
    for (const ErrorMeaning& meaning : kMeanings) {
        if (meaning.errorNumber == errorNumber) {
            return std::string(kErrorTexts[static_cast<std::size_t>(meaning.entry)]);
        }
    }
    return "Unbekannter Fehler: " + std::string(std::strerror(errorNumber));
}

void StandardMessages::ShowFileError(std::string_view path, int errorNumber) {
    // Composed in a buffer of its own: the caller may still hold a line in messageBuffer.
    MessageBuffer report;
    report.Set("Fehler beim Öffnen der Datei\n\n");
    report.Append("%.*s\n\n", static_cast<int>(path.size()), path.data());
    const std::string reason = ErrorText(errorNumber);
    report.Append("%.*s", static_cast<int>(reason.size()), reason.data());
    ShowPlain(report.View());
}

}  // namespace merlinox::inline app
