#include "i18n/TextEntry.h"

namespace velto::i18n {
namespace {

// TXT_OK, TXT_MP3_LEGAL_NOTE and TXT_SLOGAN stay in English.
constexpr TextEntry kTexts[] = {
    {TXT_BROWSE, u"Bladeren"},
    {TXT_CANCEL, u"Annuleren"},
    {TXT_PLAY, u"Afspelen"},
    {TXT_INVALID_FORMAT, u"Ongeldige indeling"},
    {TXT_DELETE, u"Verwijderen"},
    {TXT_CONFIRM_DELETION, u"Verwijderen bevestigen?"},
    {TXT_SIGN_IN_SKYPE, u"Meld u aan bij Skype"},
    {TXT_MISSED_CALL, u"Gemiste oproep"},
    {TXT_OPTIONS, u"Opties"},
    {TXT_RINGBACK_TONE, u"Wachttoon"},
    {TXT_RINGBACK_SETTINGS, u"Instellingen voor wachttonen"},
    {TXT_CHOOSE_RINGBACK, u"Kies een wachttoon"},
    {TXT_MISSED_CALL_TITLE, u"Gemiste oproepen"},
    {TXT_START_AT_LOGIN, u"Velto starten bij het aanmelden"},
    {TXT_TONE_INFO_OPTION, u"Informatiebericht over de wachttoon inschakelen"},
    {TXT_GENERAL, u"Algemeen"},
    {TXT_AUTO_UPDATE, u"Automatisch bijwerken"},
    {TXT_SELECT_LANGUAGE, u"Taal kiezen"},
    {TXT_VOICE_MAIL, u"Voicemail"},
    {TXT_ENABLE_VOICE_MAIL, u"Voicemail inschakelen"},
    {TXT_DEFAULT_GREETING, u"Standaardbegroeting"},
    {TXT_SELECT_GREETING, u"Begroeting kiezen"},
    {TXT_ABOUT, u"Info"},
    // "Help" and "Feedback" are the Dutch words too.
    {TXT_HELP, u" Help"},
    {TXT_FEEDBACK, u"Feedback"},
    {TXT_RINGTONE_SETTINGS, u"Instellingen voor beltonen"},
    {TXT_DEFAULT_RINGTONE, u"Standaardbeltoon"},
    {TXT_SELECT_RINGTONE, u"Beltoon kiezen"},
    {TXT_DEFAULT_RINGBACK, u"Standaardwachttoon"},
    {TXT_RINGBACK_QUESTION, u"Wat wilt u dat uw contactpersonen horen als ze u bellen?"},
    {TXT_RINGTONE_QUESTION, u"Wat wilt u horen als contactpersonen u bellen?"},
    {TXT_OPEN, u"Velto openen"},
    {TXT_QUIT, u"Afsluiten"},
    {TXT_NEW_MISSED_CALL, u"Nieuwe gemiste oproep"},
    {TXT_UPDATE_SKYPE, u"Werk Skype bij naar de nieuwste versie."},
    {TXT_TONE_INFO_MESSAGE,
     u"\"%s\" heeft deze MP3%n speciaal voor jou ingesteld met Velto! Meer "
     u"info: " VELTO_TONE_WEB_SITE},
    {TXT_GIVE_PERMISSION, u"Open Skype en geef Velto toestemming om het te gebruiken."},
    {TXT_STANDARD_RINGBACK, u"Algemene wachttoon"},
    {TXT_SYSTEM_DEFAULT, u"Systeemstandaard"},
    {TXT_CHANGE, u"Wijzigen"},
    // Contacts in the window.
    {TXT_CONTACT_NEW, u"Nieuw contact"},
    {TXT_CONTACT_EDIT, u"Contact bewerken"},
    {TXT_CONTACT_REMOVE, u"Contact verwijderen"},
    {TXT_CONTACT_IMPORT, u"Contacten importeren"},
    {TXT_CONTACT_EXPORT, u"Contacten exporteren"},
    {TXT_CONTACT_NAME, u"Naam"},
    {TXT_CONTACT_NICKNAME, u"Bijnaam"},
    {TXT_CONTACT_ADDRESS, u"SIP-adres"},
    {TXT_CONTACT_GROUPS, u"Groepen"},
    {TXT_CONTACT_GROUP_HINT, u"Scheid groepen met komma's, bijvoorbeeld: Familie, Werk"},
    {TXT_CONTACT_BAD_URI, u"Dit is geen SIP-adres. Schrijf het als naam@example.org."},
    {TXT_CONTACT_MAX_GROUPS, u"Een contact kan in hoogstens 16 groepen zitten."},
    {TXT_CONTACT_DUPLICATE, u"Een ander contact heeft dit SIP-adres al."},
    {TXT_CONTACT_ASK_REMOVE, u"Dit contact verwijderen?"},
    {TXT_CONTACT_NOT_SAVED, u"De contacten konden niet worden opgeslagen."},
    {TXT_CONTACT_DAMAGED,
     u"Het contactbestand was beschadigd. Wat leesbaar was, is bewaard; het beschadigde bestand "
     u"staat als:"},
    {TXT_CONTACT_IMPORTED, u"Toegevoegde contacten:"},
    {TXT_CONTACT_KNOWN, u"Al in uw contacten:"},
    {TXT_CONTACT_SKIPPED, u"Overgeslagen (geen SIP-adres):"},
    {TXT_CONTACT_NO_IMPORT, u"Het bestand kon niet worden geïmporteerd."},
    {TXT_CONTACT_ADD_CALLER, u"Aan contacten toevoegen"},
    {TXT_CONTACT_VCARD_TYPE, u"vCard-bestanden (*.vcf *.vcard)"},
    {TXT_CONTACT_KEPT_ASIDE,
     u"Kaarten zonder SIP-adres zijn weggelaten. Het oorspronkelijke bestand staat als:"},
};

}  // namespace

std::span<const TextEntry> DutchTexts() {
    return kTexts;
}

}  // namespace velto::i18n
