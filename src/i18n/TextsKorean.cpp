#include "i18n/TextEntry.h"

namespace velto::i18n {
namespace {

// TXT_MP3_LEGAL_NOTE and TXT_SLOGAN stay in English.
constexpr TextEntry kTexts[] = {
    {TXT_BROWSE, u"찾아보기"},
    {TXT_OK, u"확인"},
    {TXT_CANCEL, u"취소"},
    {TXT_PLAY, u"재생"},
    {TXT_INVALID_FORMAT, u"잘못된 형식입니다"},
    {TXT_DELETE, u"삭제"},
    {TXT_CONFIRM_DELETION, u"삭제하시겠습니까?"},
    {TXT_SIGN_IN_SKYPE, u"Skype에 로그인하세요"},
    {TXT_MISSED_CALL, u"부재중 전화"},
    {TXT_OPTIONS, u"옵션"},
    {TXT_RINGBACK_TONE, u"통화연결음"},
    {TXT_RINGBACK_SETTINGS, u"통화연결음 설정"},
    {TXT_CHOOSE_RINGBACK, u"통화연결음 선택"},
    {TXT_MISSED_CALL_TITLE, u"부재중 전화"},
    {TXT_START_AT_LOGIN, u"로그인할 때 Velto 실행"},
    {TXT_TONE_INFO_OPTION, u"통화연결음 안내 메시지 기능 사용"},
    {TXT_GENERAL, u"일반"},
    {TXT_AUTO_UPDATE, u"자동 업데이트"},
    {TXT_SELECT_LANGUAGE, u"언어 선택"},
    {TXT_VOICE_MAIL, u"음성사서함"},
    {TXT_ENABLE_VOICE_MAIL, u"음성사서함 사용"},
    {TXT_DEFAULT_GREETING, u"기본 인사말"},
    {TXT_SELECT_GREETING, u"인사말 선택"},
    {TXT_ABOUT, u"정보"},
    {TXT_HELP, u" 도움말"},
    {TXT_FEEDBACK, u"의견 보내기"},
    {TXT_RINGTONE_SETTINGS, u"벨소리 설정"},
    {TXT_DEFAULT_RINGTONE, u"기본 벨소리"},
    {TXT_SELECT_RINGTONE, u"벨소리 선택"},
    {TXT_DEFAULT_RINGBACK, u"기본 통화연결음"},
    {TXT_RINGBACK_QUESTION, u"연락처가 전화를 걸 때 무엇을 들려주시겠습니까?"},
    {TXT_RINGTONE_QUESTION, u"연락처에서 전화가 올 때 무엇을 들으시겠습니까?"},
    {TXT_OPEN, u"Velto 열기"},
    {TXT_QUIT, u"종료"},
    {TXT_NEW_MISSED_CALL, u"새 부재중 전화"},
    {TXT_UPDATE_SKYPE, u"최신 버전의 Skype로 업데이트하세요."},
    {TXT_TONE_INFO_MESSAGE,
     u"\"%s\"이(가) Velto로 당신을 위해 이 MP3%n을(를) 특별히 설정했습니다! 자세히 "
     u"보기: " VELTO_TONE_WEB_SITE},
    {TXT_GIVE_PERMISSION, u"Skype를 열고 Velto가 Skype를 사용할 수 있도록 허용하세요."},
    {TXT_STANDARD_RINGBACK, u"표준 통화연결음"},
    {TXT_SYSTEM_DEFAULT, u"시스템 기본값"},
    {TXT_CHANGE, u"변경"},
    // Contacts in the window.
    {TXT_CONTACT_NEW, u"새 연락처"},
    {TXT_CONTACT_EDIT, u"연락처 편집"},
    {TXT_CONTACT_REMOVE, u"연락처 삭제"},
    {TXT_CONTACT_IMPORT, u"연락처 가져오기"},
    {TXT_CONTACT_EXPORT, u"연락처 내보내기"},
    {TXT_CONTACT_NAME, u"이름"},
    {TXT_CONTACT_NICKNAME, u"별명"},
    {TXT_CONTACT_ADDRESS, u"SIP 주소"},
    {TXT_CONTACT_GROUPS, u"그룹"},
    {TXT_CONTACT_GROUP_HINT, u"그룹은 쉼표로 구분합니다. 예: 가족, 직장"},
    {TXT_CONTACT_BAD_URI, u"SIP 주소가 아닙니다. name@example.org 형식으로 입력하세요."},
    {TXT_CONTACT_MAX_GROUPS, u"연락처 하나는 최대 16개 그룹에 속할 수 있습니다."},
    {TXT_CONTACT_DUPLICATE, u"다른 연락처가 이미 이 SIP 주소를 사용합니다."},
    {TXT_CONTACT_ASK_REMOVE, u"이 연락처를 삭제할까요?"},
    {TXT_CONTACT_NOT_SAVED, u"연락처를 저장할 수 없습니다."},
    {TXT_CONTACT_DAMAGED,
     u"연락처 파일이 손상되었습니다. 읽을 수 있는 내용은 유지했으며 손상된 파일은 다음 이름으로 "
     u"보관했습니다:"},
    {TXT_CONTACT_IMPORTED, u"추가된 연락처:"},
    {TXT_CONTACT_KNOWN, u"이미 연락처에 있음:"},
    {TXT_CONTACT_SKIPPED, u"건너뜀(SIP 주소 없음):"},
    {TXT_CONTACT_NO_IMPORT, u"파일을 가져올 수 없습니다."},
    {TXT_CONTACT_ADD_CALLER, u"연락처에 추가"},
    {TXT_CONTACT_VCARD_TYPE, u"vCard 파일 (*.vcf *.vcard)"},
    {TXT_CONTACT_KEPT_ASIDE,
     u"SIP 주소가 없는 카드는 제외했습니다. 원래 파일은 다음 이름으로 보관했습니다:"},
};

}  // namespace

std::span<const TextEntry> KoreanTexts() {
    return kTexts;
}

}  // namespace velto::i18n
