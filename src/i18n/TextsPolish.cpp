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
};

}  // namespace

std::span<const TextEntry> PolishTexts() {
    return kTexts;
}

}  // namespace velto::i18n
