#include "i18n/TextEntry.h"

namespace velto::i18n {
namespace {

// TXT_OK, TXT_MP3_LEGAL_NOTE and TXT_SLOGAN stay in English.
constexpr TextEntry kTexts[] = {
    {TXT_BROWSE, u"Przeglądaj"},
    {TXT_CANCEL, u"Anuluj"},
    {TXT_PLAY, u"Odtwórz"},
    {TXT_INVALID_FORMAT, u"Nieprawidłowy format"},
    {TXT_DELETE, u"Usuń"},
    {TXT_CONFIRM_DELETION, u"Potwierdzić usunięcie?"},
    {TXT_SIGN_IN_SKYPE, u"Zaloguj się do Skype"},
    {TXT_MISSED_CALL, u"Nieodebrane połączenie"},
    {TXT_OPTIONS, u"Opcje"},
    {TXT_RINGBACK_TONE, u"Dźwięk oczekiwania"},
    {TXT_RINGBACK_SETTINGS, u"Ustawienia dźwięku oczekiwania"},
    {TXT_CHOOSE_RINGBACK, u"Wybierz dźwięk oczekiwania"},
    {TXT_MISSED_CALL_TITLE, u"Nieodebrane połączenia"},
    {TXT_START_AT_LOGIN, u"Uruchamiaj Velto po zalogowaniu"},
    {TXT_TONE_INFO_OPTION, u"Włącz wiadomość informującą o dźwięku oczekiwania"},
    {TXT_GENERAL, u"Ogólne"},
    {TXT_AUTO_UPDATE, u"Automatyczna aktualizacja"},
    {TXT_SELECT_LANGUAGE, u"Wybierz język"},
    {TXT_VOICE_MAIL, u"Poczta głosowa"},
    {TXT_ENABLE_VOICE_MAIL, u"Włącz pocztę głosową"},
    {TXT_DEFAULT_GREETING, u"Domyślne powitanie"},
    {TXT_SELECT_GREETING, u"Wybierz powitanie"},
    {TXT_ABOUT, u"O programie"},
    {TXT_HELP, u" Pomoc"},
    {TXT_FEEDBACK, u"Opinie"},
    {TXT_RINGTONE_SETTINGS, u"Ustawienia dzwonka"},
    {TXT_DEFAULT_RINGTONE, u"Domyślny dzwonek"},
    {TXT_SELECT_RINGTONE, u"Wybierz dzwonek"},
    {TXT_DEFAULT_RINGBACK, u"Domyślny dźwięk oczekiwania"},
    {TXT_RINGBACK_QUESTION, u"Co mają słyszeć Twoi znajomi, gdy do Ciebie dzwonią?"},
    {TXT_RINGTONE_QUESTION, u"Co chcesz słyszeć, gdy znajomi do Ciebie dzwonią?"},
    {TXT_OPEN, u"Otwórz Velto"},
    {TXT_QUIT, u"Zakończ"},
    {TXT_NEW_MISSED_CALL, u"Nowe nieodebrane połączenie"},
    {TXT_UPDATE_SKYPE, u"Zaktualizuj Skype do najnowszej wersji."},
    {TXT_TONE_INFO_MESSAGE,
     u"„%s” ustawił(a) ten plik MP3%n specjalnie dla Ciebie w Velto! Więcej "
     u"informacji: " VELTO_TONE_WEB_SITE},
    {TXT_GIVE_PERMISSION, u"Otwórz Skype i zezwól Velto na korzystanie z niego."},
    {TXT_STANDARD_RINGBACK, u"Standardowy dźwięk oczekiwania"},
    {TXT_SYSTEM_DEFAULT, u"Domyślny systemowy"},
    {TXT_CHANGE, u"Zmień"},
    // Contacts in the window.
    {TXT_CONTACT_NEW, u"Nowy kontakt"},
    {TXT_CONTACT_EDIT, u"Edytuj kontakt"},
    {TXT_CONTACT_REMOVE, u"Usuń kontakt"},
    {TXT_CONTACT_IMPORT, u"Importuj kontakty"},
    {TXT_CONTACT_EXPORT, u"Eksportuj kontakty"},
    {TXT_CONTACT_NAME, u"Imię i nazwisko"},
    {TXT_CONTACT_NICKNAME, u"Pseudonim"},
    {TXT_CONTACT_ADDRESS, u"Adres SIP"},
    {TXT_CONTACT_GROUPS, u"Grupy"},
    {TXT_CONTACT_GROUP_HINT, u"Oddziel grupy przecinkami, na przykład: Rodzina, Praca"},
    {TXT_CONTACT_BAD_URI, u"To nie jest adres SIP. Wpisz go w postaci nazwa@example.org."},
    {TXT_CONTACT_MAX_GROUPS, u"Kontakt może należeć do najwyżej 16 grup."},
    {TXT_CONTACT_DUPLICATE, u"Inny kontakt ma już ten adres SIP."},
    {TXT_CONTACT_ASK_REMOVE, u"Usunąć ten kontakt?"},
    {TXT_CONTACT_NOT_SAVED, u"Nie udało się zapisać kontaktów."},
    {TXT_CONTACT_DAMAGED,
     u"Plik kontaktów był uszkodzony. To, co dało się odczytać, zachowano; uszkodzony plik "
     u"zapisano jako:"},
    {TXT_CONTACT_IMPORTED, u"Dodane kontakty:"},
    {TXT_CONTACT_KNOWN, u"Już w kontaktach:"},
    {TXT_CONTACT_SKIPPED, u"Pominięte (brak adresu SIP):"},
    {TXT_CONTACT_NO_IMPORT, u"Nie udało się zaimportować pliku."},
    {TXT_CONTACT_ADD_CALLER, u"Dodaj do kontaktów"},
    {TXT_CONTACT_VCARD_TYPE, u"Pliki vCard (*.vcf *.vcard)"},
    {TXT_CONTACT_KEPT_ASIDE, u"Pominięto wizytówki bez adresu SIP. Pierwotny plik zapisano jako:"},
};

}  // namespace

std::span<const TextEntry> PolishTexts() {
    return kTexts;
}

}  // namespace velto::i18n
