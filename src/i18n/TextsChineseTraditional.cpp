#include "i18n/TextEntry.h"

namespace velto::i18n {
namespace {

constexpr TextEntry kTexts[] = {
    {TXT_BROWSE, u"瀏覽"},
    {TXT_OK, u"確定"},
    {TXT_CANCEL, u"取消"},
    {TXT_PLAY, u"播放"},
    {TXT_INVALID_FORMAT, u"格式無效"},
    {TXT_DELETE, u"刪除"},
    {TXT_CONFIRM_DELETION, u"確定刪除？"},
    {TXT_SIGN_IN_SKYPE, u"請登入 Skype"},
    {TXT_MISSED_CALL, u"未接來電"},
    {TXT_OPTIONS, u"選項"},
    {TXT_RINGBACK_TONE, u"答鈴"},
    {TXT_RINGBACK_SETTINGS, u"答鈴設定"},
    {TXT_CHOOSE_RINGBACK, u"選擇答鈴"},
    {TXT_MISSED_CALL_TITLE, u"未接來電"},
    {TXT_START_AT_LOGIN, u"登入桌面時自動執行 Velto"},
    {TXT_TONE_INFO_OPTION, u"啟用答鈴資訊通知功能"},
    {TXT_GENERAL, u"一般"},
    {TXT_AUTO_UPDATE, u"自動更新"},
    {TXT_SELECT_LANGUAGE, u"選擇語言"},
    {TXT_VOICE_MAIL, u"語音信箱"},
    {TXT_ENABLE_VOICE_MAIL, u"啟用語音信箱"},
    {TXT_DEFAULT_GREETING, u"預設問候語"},
    {TXT_SELECT_GREETING, u"選擇問候語"},
    {TXT_ABOUT, u"關於"},
    {TXT_HELP, u" 說明"},
    {TXT_FEEDBACK, u"意見回饋"},
    {TXT_RINGTONE_SETTINGS, u"鈴聲設定"},
    {TXT_DEFAULT_RINGTONE, u"預設鈴聲"},
    {TXT_SELECT_RINGTONE, u"選擇鈴聲"},
    {TXT_DEFAULT_RINGBACK, u"預設答鈴"},
    {TXT_RINGBACK_QUESTION, u"聯絡人來電時，您想讓他們聽到什麼？"},
    {TXT_RINGTONE_QUESTION, u"聯絡人來電時，您想聽到什麼？"},
    {TXT_OPEN, u"開啟 Velto"},
    {TXT_QUIT, u"結束"},
    {TXT_NEW_MISSED_CALL, u"新的未接來電"},
    {TXT_UPDATE_SKYPE, u"請更新至最新版本的 Skype。"},
    {TXT_MP3_LEGAL_NOTE,
     u"匯入歌曲（本程式或其供應商所提供者除外）並在網路上提供給他人時，請務必遵守相關法律規定。"},
    {TXT_SLOGAN, u"朋友來電時，讓他們聽到您的 MP3！"},
    {TXT_TONE_INFO_MESSAGE,
     u"「%s」用 Velto 特別為您設定了這首 MP3%n！更多資訊：" VELTO_TONE_WEB_SITE},
    {TXT_GIVE_PERMISSION, u"請開啟 Skype 並允許 Velto 使用。"},
    {TXT_STANDARD_RINGBACK, u"標準答鈴"},
    {TXT_SYSTEM_DEFAULT, u"系統預設"},
    {TXT_CHANGE, u"變更"},
    // Only the traditional-Chinese list offers the partner service, so only it has a slogan.
    {TXT_PARTNER_SLOGAN, u"Quorin 答鈴館：正版熱門好歌，下載即用，讓來電聽見你的風格！"},
    // Contacts in the window.
    {TXT_CONTACT_NEW, u"新增聯絡人"},
    {TXT_CONTACT_EDIT, u"編輯聯絡人"},
    {TXT_CONTACT_REMOVE, u"移除聯絡人"},
    {TXT_CONTACT_IMPORT, u"匯入聯絡人"},
    {TXT_CONTACT_EXPORT, u"匯出聯絡人"},
    {TXT_CONTACT_NAME, u"姓名"},
    {TXT_CONTACT_NICKNAME, u"暱稱"},
    {TXT_CONTACT_ADDRESS, u"SIP 位址"},
    {TXT_CONTACT_GROUPS, u"群組"},
    {TXT_CONTACT_GROUP_HINT, u"以逗號分隔群組，例如：家人, 工作"},
    {TXT_CONTACT_BAD_URI, u"這不是 SIP 位址。請寫成 name@example.org。"},
    {TXT_CONTACT_MAX_GROUPS, u"一位聯絡人最多可屬於 16 個群組。"},
    {TXT_CONTACT_DUPLICATE, u"已有其他聯絡人使用此 SIP 位址。"},
    {TXT_CONTACT_ASK_REMOVE, u"要移除此聯絡人嗎？"},
    {TXT_CONTACT_NOT_SAVED, u"無法儲存聯絡人。"},
    {TXT_CONTACT_DAMAGED, u"聯絡人檔案已損毀。可讀取的內容已保留；損毀的檔案保存為："},
    {TXT_CONTACT_IMPORTED, u"已新增的聯絡人："},
    {TXT_CONTACT_KNOWN, u"已在聯絡人中："},
    {TXT_CONTACT_SKIPPED, u"已略過（無 SIP 位址）："},
    {TXT_CONTACT_NO_IMPORT, u"無法匯入此檔案。"},
    {TXT_CONTACT_ADD_CALLER, u"加入聯絡人"},
    {TXT_CONTACT_VCARD_TYPE, u"vCard 檔案 (*.vcf *.vcard)"},
    {TXT_CONTACT_KEPT_ASIDE, u"沒有 SIP 位址的名片已略過。原來的檔案保存為："},
};

}  // namespace

std::span<const TextEntry> ChineseTraditionalTexts() {
    return kTexts;
}

}  // namespace velto::i18n
