#include "i18n/TextEntry.h"

namespace velto::i18n {
namespace {

constexpr TextEntry kTexts[] = {
    {TXT_BROWSE, u"Browse"},
    {TXT_OK, u"OK"},
    {TXT_CANCEL, u"Cancel"},
    {TXT_PLAY, u"Play"},
    {TXT_INVALID_FORMAT, u"Invalid format"},
    {TXT_DELETE, u"Delete"},
    // The question mark is the full-width one (U+FF1F), as it always was.
    {TXT_CONFIRM_DELETION, u"Confirm Deletion\uFF1F"},
    {TXT_SIGN_IN_SKYPE, u"Please Sign In Skype"},
    {TXT_MISSED_CALL, u"Missed Call"},
    {TXT_OPTIONS, u"Options"},
    {TXT_RINGBACK_TONE, u"Ringback Tone"},
    {TXT_RINGBACK_SETTINGS, u"Ringback Tone Settings"},
    {TXT_CHOOSE_RINGBACK, u"Choose a Ringback Tone"},
    {TXT_MISSED_CALL_TITLE, u"Missed Call"},
    {TXT_START_AT_LOGIN, u"Start Velto when I log in"},
    {TXT_TONE_INFO_OPTION, u"Enable ringback tone info message function"},
    {TXT_GENERAL, u"General"},
    {TXT_AUTO_UPDATE, u"Auto Update"},
    {TXT_SELECT_LANGUAGE, u"Select language"},
    {TXT_VOICE_MAIL, u"Voice Mail"},
    {TXT_ENABLE_VOICE_MAIL, u"Enable Voice Mail"},
    {TXT_DEFAULT_GREETING, u"Default Greeting"},
    {TXT_SELECT_GREETING, u"Select Greeting"},
    {TXT_ABOUT, u"About"},
    // The leading blank keeps the label clear of the icon beside it.
    {TXT_HELP, u" Help"},
    {TXT_FEEDBACK, u"Feedback"},
    {TXT_RINGTONE_SETTINGS, u"Ringtone Settings"},
    {TXT_DEFAULT_RINGTONE, u"Default Ringtone"},
    {TXT_SELECT_RINGTONE, u"Select Ringtone"},
    {TXT_DEFAULT_RINGBACK, u"Default Ringback Tone"},
    {TXT_RINGBACK_QUESTION, u"What do you want your contacts to hear when they call?"},
    {TXT_RINGTONE_QUESTION, u"What do you want to hear when contacts call you?"},
    {TXT_OPEN, u"Open Velto"},
    {TXT_QUIT, u"Quit"},
    {TXT_NEW_MISSED_CALL, u"New missed call"},
    {TXT_UPDATE_SKYPE, u"Please update to the latest Skype version."},
    {TXT_MP3_LEGAL_NOTE,
     u"Make sure that you import songs (other than those provided by this application or its "
     u"suppliers), making them available to others online, only in compliance with the "
     u"relevant laws and regulations."},
    {TXT_SLOGAN, u"Let friends hear your MP3s when they call!"},
    // %s becomes the user's name and %n the tone's description (plain replacement).
    {TXT_TONE_INFO_MESSAGE,
     u"\"%s\" set this MP3%n specially for you, with Velto! More infos: " VELTO_TONE_WEB_SITE},
    {TXT_GIVE_PERMISSION, u"Open Skype and give Velto permission to use it."},
    {TXT_STANDARD_RINGBACK, u"Standard Ringback Tone"},
    {TXT_SYSTEM_DEFAULT, u"System default"},
    {TXT_CHANGE, u"Change"},
    // Contacts in the window.
    {TXT_CONTACT_NEW, u"New contact"},
    {TXT_CONTACT_EDIT, u"Edit contact"},
    {TXT_CONTACT_REMOVE, u"Remove contact"},
    {TXT_CONTACT_IMPORT, u"Import contacts"},
    {TXT_CONTACT_EXPORT, u"Export contacts"},
    {TXT_CONTACT_NAME, u"Name"},
    {TXT_CONTACT_NICKNAME, u"Nickname"},
    {TXT_CONTACT_ADDRESS, u"SIP address"},
    {TXT_CONTACT_GROUPS, u"Groups"},
    {TXT_CONTACT_GROUP_HINT, u"Separate groups with commas, for example: Family, Work"},
    {TXT_CONTACT_BAD_URI, u"This is not a SIP address. Write it as name@example.org."},
    {TXT_CONTACT_MAX_GROUPS, u"A contact can be in at most 16 groups."},
    {TXT_CONTACT_DUPLICATE, u"Another contact already has this SIP address."},
    {TXT_CONTACT_ASK_REMOVE, u"Remove this contact?"},
    {TXT_CONTACT_NOT_SAVED, u"The contacts could not be saved."},
    {TXT_CONTACT_DAMAGED,
     u"The contact file was damaged. What could be read is kept; the damaged file is kept as:"},
    {TXT_CONTACT_IMPORTED, u"Contacts added:"},
    {TXT_CONTACT_KNOWN, u"Already in your contacts:"},
    {TXT_CONTACT_SKIPPED, u"Left out (no SIP address):"},
    {TXT_CONTACT_NO_IMPORT, u"The file could not be imported."},
    {TXT_CONTACT_ADD_CALLER, u"Add to contacts"},
    {TXT_CONTACT_VCARD_TYPE, u"vCard files (*.vcf *.vcard)"},
    {TXT_CONTACT_KEPT_ASIDE,
     u"Cards without a SIP address were left out. The file as it was is kept as:"},
};

}  // namespace

std::span<const TextEntry> EnglishTexts() {
    return kTexts;
}

}  // namespace velto::i18n
