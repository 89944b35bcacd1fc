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
    {TXT_RULES, u"Rules"},
    {TXT_RULE, u"Rule"},
    {TXT_RULE_ADD, u"Add"},
    {TXT_RULE_EDIT, u"Edit"},
    {TXT_RULE_MOVE_UP, u"Move up"},
    {TXT_RULE_MOVE_DOWN, u"Move down"},
    {TXT_RULE_WHAT_NOW, u"What happens now?"},
    {TXT_RULE_NONE_DECIDES, u"No rule decides"},
    {TXT_RULE_NEW, u"New rule"},
    {TXT_RULE_NAME, u"Name"},
    {TXT_RULE_WHEN, u"When"},
    {TXT_RULE_THEN, u"Then"},
    {TXT_RULE_CALLERS, u"Callers (anyone when none is ticked)"},
    {TXT_RULE_GROUP, u"Group"},
    {TXT_RULE_UNKNOWN, u"Not in my contacts"},
    {TXT_RULE_ANONYMOUS, u"Anonymous (no caller id)"},
    {TXT_RULE_DAYS, u"Days"},
    {TXT_RULE_TIME, u"Time"},
    {TXT_RULE_DATES, u"Dates"},
    {TXT_RULE_MY_STATUS, u"My status"},
    {TXT_STATUS_ONLINE, u"Online"},
    {TXT_STATUS_AWAY, u"Away"},
    {TXT_STATUS_DND, u"Do not disturb"},
    {TXT_STATUS_OFFLINE, u"Offline"},
    {TXT_RULE_UNCHANGED, u"As without rules"},
    {TXT_RULE_SILENCE, u"Silence"},
    {TXT_RULE_RING_ME, u"Ring me"},
    {TXT_RULE_RING, u"Ring"},
    {TXT_RULE_SILENT_PANEL, u"Panel only, silently"},
    {TXT_RULE_RINGTONE, u"Ring tone"},
    {TXT_RULE_MACHINE_AFTER, u"Answering machine after"},
    {TXT_RULE_GREETING, u"Greeting"},
    {TXT_RULE_REFUSE, u"Refuse the call (busy)"},
};

}  // namespace

std::span<const TextEntry> EnglishTexts() {
    return kTexts;
}

}  // namespace velto::i18n
