#include "i18n/TextEntry.h"

namespace velto::i18n {
namespace {

constexpr TextEntry kTexts[] = {
    {TXT_BROWSE, u"浏览"},
    {TXT_OK, u"确定"},
    {TXT_CANCEL, u"取消"},
    {TXT_PLAY, u"播放"},
    {TXT_INVALID_FORMAT, u"格式无效"},
    {TXT_DELETE, u"删除"},
    {TXT_CONFIRM_DELETION, u"确认删除？"},
    {TXT_SIGN_IN_SKYPE, u"请登录 Skype"},
    {TXT_MISSED_CALL, u"未接来电"},
    {TXT_OPTIONS, u"选项"},
    {TXT_RINGBACK_TONE, u"彩铃"},
    {TXT_RINGBACK_SETTINGS, u"彩铃设置"},
    {TXT_CHOOSE_RINGBACK, u"选择彩铃"},
    {TXT_MISSED_CALL_TITLE, u"未接来电"},
    {TXT_START_AT_LOGIN, u"登录桌面时自动运行 Velto"},
    {TXT_TONE_INFO_OPTION, u"启用彩铃信息提示功能"},
    {TXT_GENERAL, u"常规"},
    {TXT_AUTO_UPDATE, u"自动更新"},
    {TXT_SELECT_LANGUAGE, u"选择语言"},
    {TXT_VOICE_MAIL, u"语音信箱"},
    {TXT_ENABLE_VOICE_MAIL, u"启用语音信箱"},
    {TXT_DEFAULT_GREETING, u"默认问候语"},
    {TXT_SELECT_GREETING, u"选择问候语"},
    {TXT_ABOUT, u"关于"},
    {TXT_HELP, u" 帮助"},
    {TXT_FEEDBACK, u"反馈"},
    {TXT_RINGTONE_SETTINGS, u"铃声设置"},
    {TXT_DEFAULT_RINGTONE, u"默认铃声"},
    {TXT_SELECT_RINGTONE, u"选择铃声"},
    {TXT_DEFAULT_RINGBACK, u"默认彩铃"},
    {TXT_RINGBACK_QUESTION, u"联系人呼叫您时，您想让他们听到什么？"},
    {TXT_RINGTONE_QUESTION, u"联系人呼叫您时，您想听到什么？"},
    {TXT_OPEN, u"打开 Velto"},
    {TXT_QUIT, u"退出"},
    {TXT_NEW_MISSED_CALL, u"新的未接来电"},
    {TXT_UPDATE_SKYPE, u"请升级到最新版本的 Skype。"},
    {TXT_MP3_LEGAL_NOTE,
     u"导入歌曲（本软件及其供应商提供的歌曲除外）并在网上提供给他人时，请务必遵守相关法律法规。"},
    {TXT_SLOGAN, u"朋友来电时，让他们听到您的 MP3！"},
    {TXT_TONE_INFO_MESSAGE,
     u"“%s”用 Velto 特别为您设置了这首 MP3%n！更多信息：" VELTO_TONE_WEB_SITE},
    {TXT_GIVE_PERMISSION, u"请打开 Skype 并允许 Velto 使用它。"},
    {TXT_STANDARD_RINGBACK, u"标准彩铃"},
    {TXT_SYSTEM_DEFAULT, u"系统默认"},
    {TXT_CHANGE, u"更改"},
    // Contacts in the window.
    {TXT_CONTACT_NEW, u"新建联系人"},
    {TXT_CONTACT_EDIT, u"编辑联系人"},
    {TXT_CONTACT_REMOVE, u"删除联系人"},
    {TXT_CONTACT_IMPORT, u"导入联系人"},
    {TXT_CONTACT_EXPORT, u"导出联系人"},
    {TXT_CONTACT_NAME, u"姓名"},
    {TXT_CONTACT_NICKNAME, u"昵称"},
    {TXT_CONTACT_ADDRESS, u"SIP 地址"},
    {TXT_CONTACT_GROUPS, u"分组"},
    {TXT_CONTACT_GROUP_HINT, u"用逗号分隔分组，例如：家人, 工作"},
    {TXT_CONTACT_BAD_URI, u"这不是 SIP 地址。请写成 name@example.org。"},
    {TXT_CONTACT_MAX_GROUPS, u"一个联系人最多可属于 16 个分组。"},
    {TXT_CONTACT_DUPLICATE, u"已有其他联系人使用此 SIP 地址。"},
    {TXT_CONTACT_ASK_REMOVE, u"删除此联系人？"},
    {TXT_CONTACT_NOT_SAVED, u"无法保存联系人。"},
    {TXT_CONTACT_DAMAGED, u"联系人文件已损坏。可读取的内容已保留；损坏的文件保存为："},
    {TXT_CONTACT_IMPORTED, u"已添加的联系人："},
    {TXT_CONTACT_KNOWN, u"已在联系人中："},
    {TXT_CONTACT_SKIPPED, u"已跳过（无 SIP 地址）："},
    {TXT_CONTACT_NO_IMPORT, u"无法导入该文件。"},
    {TXT_CONTACT_ADD_CALLER, u"添加到联系人"},
    {TXT_CONTACT_VCARD_TYPE, u"vCard 文件 (*.vcf *.vcard)"},
    {TXT_CONTACT_KEPT_ASIDE, u"没有 SIP 地址的名片已略过。原文件保存为："},
};

}  // namespace

std::span<const TextEntry> ChineseSimplifiedTexts() {
    return kTexts;
}

}  // namespace velto::i18n
