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
};

}  // namespace

std::span<const TextEntry> SwedishTexts() {
    return kTexts;
}

}  // namespace velto::i18n
