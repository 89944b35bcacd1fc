#include "i18n/TextEntry.h"

namespace velto::i18n {
namespace {

// TXT_OK, TXT_MP3_LEGAL_NOTE and TXT_SLOGAN stay in English.
constexpr TextEntry kTexts[] = {
    {TXT_BROWSE, u"Sfoglia"},
    {TXT_CANCEL, u"Annulla"},
    {TXT_PLAY, u"Riproduci"},
    {TXT_INVALID_FORMAT, u"Formato non valido"},
    {TXT_DELETE, u"Elimina"},
    {TXT_CONFIRM_DELETION, u"Confermare l’eliminazione?"},
    {TXT_SIGN_IN_SKYPE, u"Accedi a Skype"},
    {TXT_MISSED_CALL, u"Chiamata persa"},
    {TXT_OPTIONS, u"Opzioni"},
    {TXT_RINGBACK_TONE, u"Tono di attesa"},
    {TXT_RINGBACK_SETTINGS, u"Impostazioni del tono di attesa"},
    {TXT_CHOOSE_RINGBACK, u"Scegli un tono di attesa"},
    {TXT_MISSED_CALL_TITLE, u"Chiamate perse"},
    {TXT_START_AT_LOGIN, u"Avvia Velto all’accesso"},
    {TXT_TONE_INFO_OPTION, u"Attiva il messaggio informativo sul tono di attesa"},
    {TXT_GENERAL, u"Generale"},
    {TXT_AUTO_UPDATE, u"Aggiornamento automatico"},
    {TXT_SELECT_LANGUAGE, u"Seleziona la lingua"},
    {TXT_VOICE_MAIL, u"Segreteria"},
    {TXT_ENABLE_VOICE_MAIL, u"Attiva la segreteria"},
    {TXT_DEFAULT_GREETING, u"Messaggio di benvenuto predefinito"},
    {TXT_SELECT_GREETING, u"Seleziona il messaggio di benvenuto"},
    {TXT_ABOUT, u"Informazioni"},
    {TXT_HELP, u" Guida"},
    {TXT_FEEDBACK, u"Commenti"},
    {TXT_RINGTONE_SETTINGS, u"Impostazioni della suoneria"},
    {TXT_DEFAULT_RINGTONE, u"Suoneria predefinita"},
    {TXT_SELECT_RINGTONE, u"Seleziona la suoneria"},
    {TXT_DEFAULT_RINGBACK, u"Tono di attesa predefinito"},
    {TXT_RINGBACK_QUESTION, u"Cosa vuoi far sentire ai tuoi contatti quando ti chiamano?"},
    {TXT_RINGTONE_QUESTION, u"Cosa vuoi sentire quando i tuoi contatti ti chiamano?"},
    {TXT_OPEN, u"Apri Velto"},
    {TXT_QUIT, u"Esci"},
    {TXT_NEW_MISSED_CALL, u"Nuova chiamata persa"},
    {TXT_UPDATE_SKYPE, u"Aggiorna Skype all’ultima versione."},
    {TXT_TONE_INFO_MESSAGE,
     u"\"%s\" ha scelto questo MP3%n apposta per te, con Velto! Maggiori "
     u"informazioni: " VELTO_TONE_WEB_SITE},
    {TXT_GIVE_PERMISSION, u"Apri Skype e consenti a Velto di utilizzarlo."},
    {TXT_STANDARD_RINGBACK, u"Tono di attesa standard"},
    {TXT_SYSTEM_DEFAULT, u"Predefinito di sistema"},
    {TXT_CHANGE, u"Cambia"},
};

}  // namespace

std::span<const TextEntry> ItalianTexts() {
    return kTexts;
}

}  // namespace velto::i18n
