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
};

}  // namespace

std::span<const TextEntry> KoreanTexts() {
    return kTexts;
}

}  // namespace velto::i18n
