#pragma once

#include <string_view>

namespace velto::i18n {

// The keys of the user-interface texts. Their numbers exist only inside this process (they
// are never stored or sent), so only the names matter.
#define VELTO_TEXT_KEYS(X)         \
    X(TXT_BROWSE)                  \
    X(TXT_OK)                      \
    X(TXT_CANCEL)                  \
    X(TXT_PLAY)                    \
    X(TXT_INVALID_FORMAT)          \
    X(TXT_DELETE)                  \
    X(TXT_CONFIRM_DELETION)        \
    X(TXT_SIGN_IN_SKYPE)           \
    X(TXT_MISSED_CALL)             \
    X(TXT_OPTIONS)                 \
    X(TXT_RINGBACK_TONE)           \
    X(TXT_RINGBACK_SETTINGS)       \
    X(TXT_CHOOSE_RINGBACK)         \
    X(TXT_MISSED_CALL_TITLE)       \
    X(TXT_START_AT_LOGIN)          \
    X(TXT_TONE_INFO_OPTION)        \
    X(TXT_GENERAL)                 \
    X(TXT_AUTO_UPDATE)             \
    X(TXT_SELECT_LANGUAGE)         \
    X(TXT_VOICE_MAIL)              \
    X(TXT_ENABLE_VOICE_MAIL)       \
    X(TXT_DEFAULT_GREETING)        \
    X(TXT_SELECT_GREETING)         \
    X(TXT_ABOUT)                   \
    X(TXT_HELP)                    \
    X(TXT_FEEDBACK)                \
    X(TXT_RINGTONE_SETTINGS)       \
    X(TXT_DEFAULT_RINGTONE)        \
    X(TXT_SELECT_RINGTONE)         \
    X(TXT_DEFAULT_RINGBACK)        \
    X(TXT_RINGBACK_QUESTION)       \
    X(TXT_RINGTONE_QUESTION)       \
    X(TXT_OPEN)                    \
    X(TXT_QUIT)                    \
    X(TXT_NEW_MISSED_CALL)         \
    X(TXT_UPDATE_SKYPE)            \
    X(TXT_MP3_LEGAL_NOTE)          \
    X(TXT_SLOGAN)                  \
    X(TXT_TONE_INFO_MESSAGE)       \
    X(TXT_GIVE_PERMISSION)         \
    X(TXT_STANDARD_RINGBACK)       \
    X(TXT_SYSTEM_DEFAULT)          \
    X(TXT_CHANGE)                  \
    X(TXT_PARTNER_SLOGAN)          \
    X(TXT_CONTACT_NEW)             \
    X(TXT_CONTACT_EDIT)            \
    X(TXT_CONTACT_REMOVE)          \
    X(TXT_CONTACT_IMPORT)          \
    X(TXT_CONTACT_EXPORT)          \
    X(TXT_CONTACT_NAME)            \
    X(TXT_CONTACT_NICKNAME)        \
    X(TXT_CONTACT_ADDRESS)         \
    X(TXT_CONTACT_GROUPS)          \
    X(TXT_CONTACT_GROUP_HINT)      \
    X(TXT_CONTACT_BAD_URI)         \
    X(TXT_CONTACT_MAX_GROUPS)      \
    X(TXT_CONTACT_DUPLICATE)       \
    X(TXT_CONTACT_ASK_REMOVE)      \
    X(TXT_CONTACT_NOT_SAVED)       \
    X(TXT_CONTACT_DAMAGED)         \
    X(TXT_CONTACT_IMPORTED)        \
    X(TXT_CONTACT_KNOWN)           \
    X(TXT_CONTACT_SKIPPED)         \
    X(TXT_CONTACT_NO_IMPORT)       \
    X(TXT_CONTACT_ADD_CALLER)      \
    X(TXT_CONTACT_VCARD_TYPE)      \
    X(TXT_CONTACT_KEPT_ASIDE)      \
    X(TXT_RULES)                   \
    X(TXT_RULE)                    \
    X(TXT_RULE_ADD)                \
    X(TXT_RULE_EDIT)               \
    X(TXT_RULE_MOVE_UP)            \
    X(TXT_RULE_MOVE_DOWN)          \
    X(TXT_RULE_WHAT_NOW)           \
    X(TXT_RULE_NONE_DECIDES)       \
    X(TXT_RULE_NEW)                \
    X(TXT_RULE_NAME)               \
    X(TXT_RULE_WHEN)               \
    X(TXT_RULE_THEN)               \
    X(TXT_RULE_CALLERS)            \
    X(TXT_RULE_GROUP)              \
    X(TXT_RULE_UNKNOWN)            \
    X(TXT_RULE_ANONYMOUS)          \
    X(TXT_RULE_DAYS)               \
    X(TXT_RULE_TIME)               \
    X(TXT_RULE_DATES)              \
    X(TXT_RULE_MY_STATUS)          \
    X(TXT_STATUS_ONLINE)           \
    X(TXT_STATUS_AWAY)             \
    X(TXT_STATUS_DND)              \
    X(TXT_STATUS_OFFLINE)          \
    X(TXT_RULE_UNCHANGED)          \
    X(TXT_RULE_SILENCE)            \
    X(TXT_RULE_RING_ME)            \
    X(TXT_RULE_RING)               \
    X(TXT_RULE_SILENT_PANEL)       \
    X(TXT_RULE_RINGTONE)           \
    X(TXT_RULE_MACHINE_AFTER)      \
    X(TXT_RULE_GREETING)           \
    X(TXT_RULE_REFUSE)             \
    X(TXT_NOTE_VOICE_MESSAGE)      \
    X(TXT_NOTE_CALL_LIST)          \
    X(TXT_UNKNOWN_CALLER)          \
    X(TXT_TRAY_MISSED_CALLS)       \
    X(TXT_PAUSE)                   \
    X(TXT_SAVE_AS)                 \
    X(TXT_DELETE_MESSAGE)          \
    X(TXT_MESSAGE_NOT_SAVED)       \
    X(TXT_MISSED_BUSY)             \
    X(TXT_MISSED_BUSY_TIP)         \
    X(TXT_PLAY_POSITION)           \
    X(TXT_VM_SILENCE)              \
    X(TXT_VM_LEAST_VOICE)          \
    X(TXT_VM_LONGEST)              \
    X(TXT_SCREEN_LEAVING_MESSAGE)  \
    X(TXT_SCREEN_LISTEN)           \
    X(TXT_SCREEN_PICK_UP)          \
    X(TXT_ACCOUNT)                 \
    X(TXT_ACCOUNT_IDENTITY)        \
    X(TXT_ACCOUNT_PASSWORD)        \
    X(TXT_ACCOUNT_PASSWORD_KEPT)   \
    X(TXT_ACCOUNT_PROXY)           \
    X(TXT_ACCOUNT_TRANSPORT)       \
    X(TXT_ACCOUNT_ADVANCED)        \
    X(TXT_ACCOUNT_BASIC)           \
    X(TXT_ACCOUNT_APPLY)           \
    X(TXT_ACCOUNT_AUTH_USER)       \
    X(TXT_ACCOUNT_REALM)           \
    X(TXT_ACCOUNT_EXPIRY)          \
    X(TXT_ACCOUNT_LISTEN)          \
    X(TXT_ACCOUNT_STUN)            \
    X(TXT_ACCOUNT_ICE)             \
    X(TXT_ACCOUNT_RTP_PORTS)       \
    X(TXT_ACCOUNT_ENCRYPTION)      \
    X(TXT_ACCOUNT_ENCRYPTION_NONE) \
    X(TXT_ACCOUNT_MANDATORY)       \
    X(TXT_ACCOUNT_CA_FILE)         \
    X(TXT_ACCOUNT_GRUU)            \
    X(TXT_ACCOUNT_EARLY_MEDIA)     \
    X(TXT_ACCOUNT_MAX_CALLS)       \
    X(TXT_ACCOUNT_INVALID)         \
    X(TXT_ACCOUNT_NOT_SAVED)       \
    X(TXT_ACCOUNT_SAVING)          \
    X(TXT_SIP_STARTING)            \
    X(TXT_SIP_NOT_SET_UP)          \
    X(TXT_SIP_UNUSABLE)            \
    X(TXT_SIP_REGISTERING)         \
    X(TXT_SIP_REGISTERED)          \
    X(TXT_SIP_DIRECT)              \
    X(TXT_SIP_FAILED)              \
    X(TXT_SIP_NEXT_TRY)            \
    X(TXT_SIP_SET_UP)              \
    X(TXT_SIP_ACCOUNT_SETTINGS)    \
    X(TXT_SIP_WELCOME)             \
    X(TXT_LATER)                   \
    X(TXT_ACCOUNT_OUTBOUND_PROXY)  \
    X(TXT_GREETING_LABEL)          \
    X(TXT_GREETING_STANDARD)       \
    X(TXT_GREETING_OWN)            \
    X(TXT_GREETING_FILE)           \
    X(TXT_GREETING_RECORD)         \
    X(TXT_BUSY_GREETING)           \
    X(TXT_BUSY_GREETING_NONE)      \
    X(TXT_RECORD_GREETING)         \
    X(TXT_RECORD)                  \
    X(TXT_STOP)                    \
    X(TXT_SAVE)                    \
    X(TXT_RECORD_OWN)              \
    X(TXT_NO_MICROPHONE)           \
    X(TXT_GREETING_NOT_SAVED)      \
    X(TXT_SOUND_LEVEL)             \
    X(TXT_MICROPHONE_FAILED)       \
    X(TXT_WINDOW_CLOSE)            \
    X(TXT_WINDOW_CLOSE_DETAIL)     \
    X(TXT_WINDOW_MINIMISE)         \
    X(TXT_TAKE_CALL)               \
    X(TXT_DECLINE_CALL)            \
    X(TXT_ACCOUNT_TURN)            \
    X(TXT_ACCOUNT_TURN_USER)       \
    X(TXT_ACCOUNT_TURN_PASSWORD)   \
    X(TXT_REASON_NAME_TOO_LONG)    \
    X(TXT_REASON_NAME_CHARACTER)   \
    X(TXT_REASON_HOST_PORT)        \
    X(TXT_REASON_NO_USER)          \
    X(TXT_REASON_ENCRYPTION)       \
    X(TXT_REASON_ABSOLUTE_PATH)    \
    X(TXT_REASON_ON_OFF)           \
    X(TXT_REASON_MAX_CALLS)        \
    X(TXT_REASON_EXPIRY)           \
    X(TXT_REASON_NO_IDENTITY)      \
    X(TXT_REASON_PORT_RANGE)       \
    X(TXT_REASON_PORT)             \
    X(TXT_REASON_TRANSPORT)        \
    X(TXT_REASON_SIPS_TRANSPORT)   \
    X(TXT_REASON_PARAMETER)        \
    X(TXT_REASON_OPEN_BRACKET)     \
    X(TXT_REASON_IPV6)             \
    X(TXT_REASON_AFTER_IPV6)       \
    X(TXT_REASON_NO_HOST)          \
    X(TXT_REASON_HOST_CHARACTER)   \
    X(TXT_REASON_OPEN_ANGLE)       \
    X(TXT_REASON_STRAY_QUOTE)      \
    X(TXT_REASON_NO_ADDRESS)       \
    X(TXT_REASON_LONG_ADDRESS)     \
    X(TXT_REASON_SCHEME)           \
    X(TXT_REASON_EMPTY_USER)       \
    X(TXT_REASON_USER_CHARACTER)   \
    X(TXT_REASON_ADDRESS_PORT)     \
    X(TXT_REASON_IPV4)             \
    X(TXT_REASON_ACCOUNT_SAVE)     \
    X(TXT_REASON_FILE_NOT_SAVED)   \
    X(TXT_REASON_OLD_PASSWORD)

#define VELTO_TEXT_KEY_ENUM(name) name,
enum TextKey : int { VELTO_TEXT_KEYS(VELTO_TEXT_KEY_ENUM) };
#undef VELTO_TEXT_KEY_ENUM

#define VELTO_TEXT_KEY_ONE(name) +1
constexpr int kTextKeyCount = 0 VELTO_TEXT_KEYS(VELTO_TEXT_KEY_ONE);
#undef VELTO_TEXT_KEY_ONE

constexpr bool IsTextKey(int key) {
    return key >= 0 && key < kTextKeyCount;
}

// "TXT_OK" for TXT_OK; empty for a number that is no key (diagnostics and tools).
std::string_view TextKeyName(TextKey key);

}  // namespace velto::i18n
