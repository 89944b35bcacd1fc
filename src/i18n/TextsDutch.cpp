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
    {TXT_RULES, u"Regels"},
    {TXT_RULE, u"Regel"},
    {TXT_RULE_ADD, u"Toevoegen"},
    {TXT_RULE_EDIT, u"Bewerken"},
    {TXT_RULE_MOVE_UP, u"Omhoog"},
    {TXT_RULE_MOVE_DOWN, u"Omlaag"},
    {TXT_RULE_WHAT_NOW, u"Wat gebeurt er nu?"},
    {TXT_RULE_NONE_DECIDES, u"Geen regel beslist"},
    {TXT_RULE_NEW, u"Nieuwe regel"},
    {TXT_RULE_NAME, u"Naam"},
    {TXT_RULE_WHEN, u"Wanneer"},
    {TXT_RULE_THEN, u"Dan"},
    {TXT_RULE_CALLERS, u"Bellers (niets aangevinkt: iedereen)"},
    {TXT_RULE_GROUP, u"Groep"},
    {TXT_RULE_UNKNOWN, u"Niet in mijn contacten"},
    {TXT_RULE_ANONYMOUS, u"Anoniem (geen nummer)"},
    {TXT_RULE_DAYS, u"Dagen"},
    {TXT_RULE_TIME, u"Tijd"},
    {TXT_RULE_DATES, u"Datums"},
    {TXT_RULE_MY_STATUS, u"Mijn status"},
    {TXT_STATUS_ONLINE, u"Online"},
    {TXT_STATUS_AWAY, u"Afwezig"},
    {TXT_STATUS_DND, u"Niet storen"},
    {TXT_STATUS_OFFLINE, u"Offline"},
    {TXT_RULE_UNCHANGED, u"Zoals zonder regels"},
    {TXT_RULE_SILENCE, u"Stilte"},
    {TXT_RULE_RING_ME, u"Bij mij overgaan"},
    {TXT_RULE_RING, u"Overgaan"},
    {TXT_RULE_SILENT_PANEL, u"Alleen het paneel, zonder geluid"},
    {TXT_RULE_RINGTONE, u"Beltoon"},
    {TXT_RULE_MACHINE_AFTER, u"Antwoordapparaat na"},
    {TXT_RULE_GREETING, u"Begroeting"},
    {TXT_RULE_REFUSE, u"Oproep weigeren (bezet)"},
};

}  // namespace

std::span<const TextEntry> DutchTexts() {
    return kTexts;
}

}  // namespace velto::i18n
