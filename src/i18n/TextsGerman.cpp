#include "i18n/TextEntry.h"

namespace velto::i18n {
namespace {

// TXT_OK, TXT_FEEDBACK, TXT_MP3_LEGAL_NOTE and TXT_SLOGAN stay in English.
constexpr TextEntry kTexts[] = {
    {TXT_BROWSE, u"Durchsuchen"},
    {TXT_CANCEL, u"Abbrechen"},
    {TXT_PLAY, u"Abspielen"},
    {TXT_INVALID_FORMAT, u"Ungültiges Format"},
    {TXT_DELETE, u"Löschen"},
    {TXT_CONFIRM_DELETION, u"Wirklich löschen?"},
    {TXT_SIGN_IN_SKYPE, u"Bitte melden Sie sich bei Skype an"},
    {TXT_MISSED_CALL, u"Verpasster Anruf"},
    {TXT_OPTIONS, u"Optionen"},
    {TXT_RINGBACK_TONE, u"Freizeichenton"},
    {TXT_RINGBACK_SETTINGS, u"Einstellungen für Freizeichentöne"},
    {TXT_CHOOSE_RINGBACK, u"Freizeichenton auswählen"},
    {TXT_MISSED_CALL_TITLE, u"Verpasste Anrufe"},
    {TXT_START_AT_LOGIN, u"Velto bei der Anmeldung starten"},
    {TXT_TONE_INFO_OPTION, u"Anrufer per Nachricht über den Freizeichenton informieren"},
    {TXT_GENERAL, u"Allgemein"},
    {TXT_AUTO_UPDATE, u"Automatisch aktualisieren"},
    {TXT_SELECT_LANGUAGE, u"Sprache auswählen"},
    {TXT_VOICE_MAIL, u"Mailbox"},
    {TXT_ENABLE_VOICE_MAIL, u"Mailbox aktivieren"},
    {TXT_DEFAULT_GREETING, u"Voreingestellte Ansage"},
    {TXT_SELECT_GREETING, u"Ansage auswählen"},
    {TXT_ABOUT, u"Info"},
    {TXT_HELP, u" Hilfe"},
    {TXT_RINGTONE_SETTINGS, u"Klingelton-Einstellungen"},
    {TXT_DEFAULT_RINGTONE, u"Voreingestellter Klingelton"},
    {TXT_SELECT_RINGTONE, u"Klingelton auswählen"},
    {TXT_DEFAULT_RINGBACK, u"Voreingestellter Freizeichenton"},
    {TXT_RINGBACK_QUESTION, u"Was sollen Ihre Kontakte hören, wenn sie Sie anrufen?"},
    {TXT_RINGTONE_QUESTION, u"Was möchten Sie hören, wenn Kontakte Sie anrufen?"},
    {TXT_OPEN, u"Velto öffnen"},
    {TXT_QUIT, u"Beenden"},
    {TXT_NEW_MISSED_CALL, u"Neuer verpasster Anruf"},
    {TXT_UPDATE_SKYPE, u"Bitte aktualisieren Sie Skype auf die neueste Version."},
    {TXT_TONE_INFO_MESSAGE,
     u"„%s“ hat diese MP3%n mit Velto extra für dich ausgesucht! Mehr Infos: " VELTO_TONE_WEB_SITE},
    {TXT_GIVE_PERMISSION, u"Öffnen Sie Skype und erlauben Sie Velto den Zugriff."},
    {TXT_STANDARD_RINGBACK, u"Standard-Freizeichenton"},
    {TXT_SYSTEM_DEFAULT, u"Systemstandard"},
    {TXT_CHANGE, u"Ändern"},
    // Contacts in the window.
    {TXT_CONTACT_NEW, u"Neuer Kontakt"},
    {TXT_CONTACT_EDIT, u"Kontakt bearbeiten"},
    {TXT_CONTACT_REMOVE, u"Kontakt entfernen"},
    {TXT_CONTACT_IMPORT, u"Kontakte importieren"},
    {TXT_CONTACT_EXPORT, u"Kontakte exportieren"},
    {TXT_CONTACT_NAME, u"Name"},
    {TXT_CONTACT_NICKNAME, u"Spitzname"},
    {TXT_CONTACT_ADDRESS, u"SIP-Adresse"},
    {TXT_CONTACT_GROUPS, u"Gruppen"},
    {TXT_CONTACT_GROUP_HINT, u"Gruppen durch Kommas trennen, zum Beispiel: Familie, Arbeit"},
    {TXT_CONTACT_BAD_URI, u"Dies ist keine SIP-Adresse. Schreiben Sie sie als name@example.org."},
    {TXT_CONTACT_MAX_GROUPS, u"Ein Kontakt kann in höchstens 16 Gruppen sein."},
    {TXT_CONTACT_DUPLICATE, u"Ein anderer Kontakt hat bereits diese SIP-Adresse."},
    {TXT_CONTACT_ASK_REMOVE, u"Diesen Kontakt entfernen?"},
    {TXT_CONTACT_NOT_SAVED, u"Die Kontakte konnten nicht gespeichert werden."},
    {TXT_CONTACT_DAMAGED,
     u"Die Kontaktdatei war beschädigt. Was lesbar war, bleibt erhalten; die beschädigte Datei "
     u"liegt unter:"},
    {TXT_CONTACT_IMPORTED, u"Hinzugefügte Kontakte:"},
    {TXT_CONTACT_KNOWN, u"Bereits in Ihren Kontakten:"},
    {TXT_CONTACT_SKIPPED, u"Ausgelassen (keine SIP-Adresse):"},
    {TXT_CONTACT_NO_IMPORT, u"Die Datei konnte nicht importiert werden."},
    {TXT_CONTACT_ADD_CALLER, u"Zu Kontakten hinzufügen"},
    {TXT_CONTACT_VCARD_TYPE, u"vCard-Dateien (*.vcf *.vcard)"},
    {TXT_CONTACT_KEPT_ASIDE,
     u"Karten ohne SIP-Adresse wurden ausgelassen. Die Datei, wie sie war, liegt unter:"},
};

}  // namespace

std::span<const TextEntry> GermanTexts() {
    return kTexts;
}

}  // namespace velto::i18n
