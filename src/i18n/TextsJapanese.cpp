#include "i18n/TextEntry.h"

namespace velto::i18n {
namespace {

// TXT_OK, TXT_MP3_LEGAL_NOTE and TXT_SLOGAN stay in English.
constexpr TextEntry kTexts[] = {
    {TXT_BROWSE, u"参照"},
    {TXT_CANCEL, u"キャンセル"},
    {TXT_PLAY, u"再生"},
    {TXT_INVALID_FORMAT, u"無効な形式です"},
    {TXT_DELETE, u"削除"},
    {TXT_CONFIRM_DELETION, u"削除してもよろしいですか？"},
    {TXT_SIGN_IN_SKYPE, u"Skype にサインインしてください"},
    {TXT_MISSED_CALL, u"不在着信"},
    {TXT_OPTIONS, u"オプション"},
    {TXT_RINGBACK_TONE, u"呼び出し音"},
    {TXT_RINGBACK_SETTINGS, u"呼び出し音の設定"},
    {TXT_CHOOSE_RINGBACK, u"呼び出し音を選択"},
    {TXT_MISSED_CALL_TITLE, u"不在着信"},
    {TXT_START_AT_LOGIN, u"ログイン時に Velto を起動する"},
    {TXT_TONE_INFO_OPTION, u"呼び出し音のお知らせメッセージを有効にする"},
    {TXT_GENERAL, u"全般"},
    {TXT_AUTO_UPDATE, u"自動更新"},
    {TXT_SELECT_LANGUAGE, u"言語の選択"},
    {TXT_VOICE_MAIL, u"ボイスメール"},
    {TXT_ENABLE_VOICE_MAIL, u"ボイスメールを有効にする"},
    {TXT_DEFAULT_GREETING, u"既定の応答メッセージ"},
    {TXT_SELECT_GREETING, u"応答メッセージを選択"},
    {TXT_ABOUT, u"バージョン情報"},
    {TXT_HELP, u" ヘルプ"},
    {TXT_FEEDBACK, u"フィードバック"},
    {TXT_RINGTONE_SETTINGS, u"着信音の設定"},
    {TXT_DEFAULT_RINGTONE, u"既定の着信音"},
    {TXT_SELECT_RINGTONE, u"着信音を選択"},
    {TXT_DEFAULT_RINGBACK, u"既定の呼び出し音"},
    {TXT_RINGBACK_QUESTION, u"連絡先から電話がかかってきたとき、相手に何を聞かせますか？"},
    {TXT_RINGTONE_QUESTION, u"連絡先から電話がかかってきたとき、何を鳴らしますか？"},
    {TXT_OPEN, u"Velto を開く"},
    {TXT_QUIT, u"終了"},
    {TXT_NEW_MISSED_CALL, u"新しい不在着信"},
    {TXT_UPDATE_SKYPE, u"Skype を最新バージョンに更新してください。"},
    {TXT_TONE_INFO_MESSAGE,
     u"「%s」が Velto であなたのためにこの MP3%n "
     u"を設定しました！詳しくはこちら：" VELTO_TONE_WEB_SITE},
    {TXT_GIVE_PERMISSION, u"Skype を開いて、Velto による使用を許可してください。"},
    {TXT_STANDARD_RINGBACK, u"標準の呼び出し音"},
    {TXT_SYSTEM_DEFAULT, u"システムの既定"},
    {TXT_CHANGE, u"変更"},
    // Contacts in the window.
    {TXT_CONTACT_NEW, u"新しい連絡先"},
    {TXT_CONTACT_EDIT, u"連絡先を編集"},
    {TXT_CONTACT_REMOVE, u"連絡先を削除"},
    {TXT_CONTACT_IMPORT, u"連絡先をインポート"},
    {TXT_CONTACT_EXPORT, u"連絡先をエクスポート"},
    {TXT_CONTACT_NAME, u"名前"},
    {TXT_CONTACT_NICKNAME, u"ニックネーム"},
    {TXT_CONTACT_ADDRESS, u"SIP アドレス"},
    {TXT_CONTACT_GROUPS, u"グループ"},
    {TXT_CONTACT_GROUP_HINT, u"グループはカンマで区切ります（例：家族, 仕事）"},
    {TXT_CONTACT_BAD_URI, u"SIP アドレスではありません。name@example.org の形で入力してください。"},
    {TXT_CONTACT_MAX_GROUPS, u"1 件の連絡先に設定できるグループは 16 個までです。"},
    {TXT_CONTACT_DUPLICATE, u"この SIP アドレスは別の連絡先で使われています。"},
    {TXT_CONTACT_ASK_REMOVE, u"この連絡先を削除しますか？"},
    {TXT_CONTACT_NOT_SAVED, u"連絡先を保存できませんでした。"},
    {TXT_CONTACT_DAMAGED,
     u"連絡先ファイルが壊れていました。読み取れた内容は残し、壊れたファイルは次の名前で保管しました"
     u"："},
    {TXT_CONTACT_IMPORTED, u"追加した連絡先："},
    {TXT_CONTACT_KNOWN, u"登録済みの連絡先："},
    {TXT_CONTACT_SKIPPED, u"スキップ（SIP アドレスなし）："},
    {TXT_CONTACT_NO_IMPORT, u"ファイルをインポートできませんでした。"},
    {TXT_CONTACT_ADD_CALLER, u"連絡先に追加"},
    {TXT_CONTACT_VCARD_TYPE, u"vCard ファイル (*.vcf *.vcard)"},
    {TXT_CONTACT_KEPT_ASIDE,
     u"SIP アドレスのないカードは省きました。元のファイルは次の名前で保管しました："},
};

}  // namespace

std::span<const TextEntry> JapaneseTexts() {
    return kTexts;
}

}  // namespace velto::i18n
