#include "i18n/TextEntry.h"

namespace velto::i18n {
namespace {

// TXT_OK, TXT_MP3_LEGAL_NOTE and TXT_SLOGAN stay in English.
constexpr TextEntry kTexts[] = {
    {TXT_BROWSE, u"Bläddra"},
    {TXT_CANCEL, u"Avbryt"},
    {TXT_PLAY, u"Spela upp"},
    {TXT_INVALID_FORMAT, u"Ogiltigt format"},
    {TXT_DELETE, u"Ta bort"},
    {TXT_CONFIRM_DELETION, u"Bekräfta borttagning?"},
    {TXT_SIGN_IN_SKYPE, u"Logga in på Skype"},
    {TXT_MISSED_CALL, u"Missat samtal"},
    {TXT_OPTIONS, u"Alternativ"},
    {TXT_RINGBACK_TONE, u"Väntton"},
    {TXT_RINGBACK_SETTINGS, u"Inställningar för väntton"},
    {TXT_CHOOSE_RINGBACK, u"Välj en väntton"},
    {TXT_MISSED_CALL_TITLE, u"Missade samtal"},
    {TXT_START_AT_LOGIN, u"Starta Velto när jag loggar in"},
    {TXT_TONE_INFO_OPTION, u"Skicka ett meddelande om vänttonen till den som ringer"},
    {TXT_GENERAL, u"Allmänt"},
    {TXT_AUTO_UPDATE, u"Automatisk uppdatering"},
    {TXT_SELECT_LANGUAGE, u"Välj språk"},
    {TXT_VOICE_MAIL, u"Röstbrevlåda"},
    {TXT_ENABLE_VOICE_MAIL, u"Aktivera röstbrevlåda"},
    {TXT_DEFAULT_GREETING, u"Standardhälsning"},
    {TXT_SELECT_GREETING, u"Välj hälsning"},
    {TXT_ABOUT, u"Om"},
    {TXT_HELP, u" Hjälp"},
    {TXT_FEEDBACK, u"Skicka feedback"},
    {TXT_RINGTONE_SETTINGS, u"Inställningar för ringsignal"},
    {TXT_DEFAULT_RINGTONE, u"Standardringsignal"},
    {TXT_SELECT_RINGTONE, u"Välj ringsignal"},
    {TXT_DEFAULT_RINGBACK, u"Standardväntton"},
    {TXT_RINGBACK_QUESTION, u"Vad vill du att dina kontakter ska höra när de ringer dig?"},
    {TXT_RINGTONE_QUESTION, u"Vad vill du höra när dina kontakter ringer dig?"},
    {TXT_OPEN, u"Öppna Velto"},
    {TXT_QUIT, u"Avsluta"},
    {TXT_NEW_MISSED_CALL, u"Nytt missat samtal"},
    {TXT_UPDATE_SKYPE, u"Uppdatera Skype till den senaste versionen."},
    {TXT_TONE_INFO_MESSAGE,
     u"\"%s\" har valt den här MP3:an%n speciellt för dig, med Velto! Mer "
     u"info: " VELTO_TONE_WEB_SITE},
    {TXT_GIVE_PERMISSION, u"Öppna Skype och ge Velto behörighet att använda det."},
    {TXT_STANDARD_RINGBACK, u"Allmän väntton"},
    {TXT_SYSTEM_DEFAULT, u"Systemstandard"},
    {TXT_CHANGE, u"Ändra"},
    // Contacts in the window.
    {TXT_CONTACT_NEW, u"Ny kontakt"},
    {TXT_CONTACT_EDIT, u"Redigera kontakt"},
    {TXT_CONTACT_REMOVE, u"Ta bort kontakt"},
    {TXT_CONTACT_IMPORT, u"Importera kontakter"},
    {TXT_CONTACT_EXPORT, u"Exportera kontakter"},
    {TXT_CONTACT_NAME, u"Namn"},
    {TXT_CONTACT_NICKNAME, u"Smeknamn"},
    {TXT_CONTACT_ADDRESS, u"SIP-adress"},
    {TXT_CONTACT_GROUPS, u"Grupper"},
    {TXT_CONTACT_GROUP_HINT, u"Skilj grupper åt med kommatecken, till exempel: Familj, Jobb"},
    {TXT_CONTACT_BAD_URI, u"Det här är ingen SIP-adress. Skriv den som namn@example.org."},
    {TXT_CONTACT_MAX_GROUPS, u"En kontakt kan höra till högst 16 grupper."},
    {TXT_CONTACT_DUPLICATE, u"En annan kontakt har redan den här SIP-adressen."},
    {TXT_CONTACT_ASK_REMOVE, u"Ta bort den här kontakten?"},
    {TXT_CONTACT_NOT_SAVED, u"Kontakterna kunde inte sparas."},
    {TXT_CONTACT_DAMAGED,
     u"Kontaktfilen var skadad. Det som gick att läsa har behållits; den skadade filen sparades "
     u"som:"},
    {TXT_CONTACT_IMPORTED, u"Tillagda kontakter:"},
    {TXT_CONTACT_KNOWN, u"Redan bland dina kontakter:"},
    {TXT_CONTACT_SKIPPED, u"Utelämnade (ingen SIP-adress):"},
    {TXT_CONTACT_NO_IMPORT, u"Filen kunde inte importeras."},
    {TXT_CONTACT_ADD_CALLER, u"Lägg till i kontakter"},
    {TXT_CONTACT_VCARD_TYPE, u"vCard-filer (*.vcf *.vcard)"},
    {TXT_CONTACT_KEPT_ASIDE,
     u"Kort utan SIP-adress utelämnades. Den ursprungliga filen sparades som:"},
};

}  // namespace

std::span<const TextEntry> SwedishTexts() {
    return kTexts;
}

}  // namespace velto::i18n
