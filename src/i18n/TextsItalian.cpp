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
    // Contacts in the window.
    {TXT_CONTACT_NEW, u"Nuovo contatto"},
    {TXT_CONTACT_EDIT, u"Modifica contatto"},
    {TXT_CONTACT_REMOVE, u"Rimuovi contatto"},
    {TXT_CONTACT_IMPORT, u"Importa contatti"},
    {TXT_CONTACT_EXPORT, u"Esporta contatti"},
    {TXT_CONTACT_NAME, u"Nome"},
    {TXT_CONTACT_NICKNAME, u"Soprannome"},
    {TXT_CONTACT_ADDRESS, u"Indirizzo SIP"},
    {TXT_CONTACT_GROUPS, u"Gruppi"},
    {TXT_CONTACT_GROUP_HINT, u"Separa i gruppi con virgole, per esempio: Famiglia, Lavoro"},
    {TXT_CONTACT_BAD_URI, u"Questo non è un indirizzo SIP. Scrivilo come nome@example.org."},
    {TXT_CONTACT_MAX_GROUPS, u"Un contatto può stare al massimo in 16 gruppi."},
    {TXT_CONTACT_DUPLICATE, u"Un altro contatto ha già questo indirizzo SIP."},
    {TXT_CONTACT_ASK_REMOVE, u"Rimuovere questo contatto?"},
    {TXT_CONTACT_NOT_SAVED, u"Impossibile salvare i contatti."},
    {TXT_CONTACT_DAMAGED,
     u"Il file dei contatti era danneggiato. Quanto leggibile è stato mantenuto; il file "
     u"danneggiato è conservato come:"},
    {TXT_CONTACT_IMPORTED, u"Contatti aggiunti:"},
    {TXT_CONTACT_KNOWN, u"Già nei tuoi contatti:"},
    {TXT_CONTACT_SKIPPED, u"Tralasciati (senza indirizzo SIP):"},
    {TXT_CONTACT_NO_IMPORT, u"Impossibile importare il file."},
    {TXT_CONTACT_ADD_CALLER, u"Aggiungi ai contatti"},
    {TXT_CONTACT_VCARD_TYPE, u"File vCard (*.vcf *.vcard)"},
    {TXT_CONTACT_KEPT_ASIDE,
     u"Le schede senza indirizzo SIP sono state tralasciate. Il file originale è conservato come:"},
};

}  // namespace

std::span<const TextEntry> ItalianTexts() {
    return kTexts;
}

}  // namespace velto::i18n
