#include "i18n/TextEntry.h"

namespace velto::i18n {
namespace {

// TXT_MP3_LEGAL_NOTE and TXT_SLOGAN stay in English. "ОК" is written in Cyrillic.
constexpr TextEntry kTexts[] = {
    {TXT_BROWSE, u"Обзор"},
    {TXT_OK, u"ОК"},
    {TXT_CANCEL, u"Отмена"},
    {TXT_PLAY, u"Воспроизвести"},
    {TXT_INVALID_FORMAT, u"Неверный формат"},
    {TXT_DELETE, u"Удалить"},
    {TXT_CONFIRM_DELETION, u"Подтвердить удаление?"},
    {TXT_SIGN_IN_SKYPE, u"Войдите в Skype"},
    {TXT_MISSED_CALL, u"Пропущенный звонок"},
    {TXT_OPTIONS, u"Параметры"},
    {TXT_RINGBACK_TONE, u"Мелодия вместо гудка"},
    {TXT_RINGBACK_SETTINGS, u"Настройки мелодии вместо гудка"},
    {TXT_CHOOSE_RINGBACK, u"Выберите мелодию вместо гудка"},
    {TXT_MISSED_CALL_TITLE, u"Пропущенные звонки"},
    {TXT_START_AT_LOGIN, u"Запускать Velto при входе в систему"},
    {TXT_TONE_INFO_OPTION, u"Сообщать собеседнику о мелодии вместо гудка"},
    {TXT_GENERAL, u"Общие"},
    {TXT_AUTO_UPDATE, u"Автоматическое обновление"},
    {TXT_SELECT_LANGUAGE, u"Выберите язык"},
    {TXT_VOICE_MAIL, u"Голосовая почта"},
    {TXT_ENABLE_VOICE_MAIL, u"Включить голосовую почту"},
    {TXT_DEFAULT_GREETING, u"Приветствие по умолчанию"},
    {TXT_SELECT_GREETING, u"Выбрать приветствие"},
    {TXT_ABOUT, u"О программе"},
    {TXT_HELP, u" Справка"},
    {TXT_FEEDBACK, u"Обратная связь"},
    {TXT_RINGTONE_SETTINGS, u"Настройки мелодии звонка"},
    {TXT_DEFAULT_RINGTONE, u"Мелодия звонка по умолчанию"},
    {TXT_SELECT_RINGTONE, u"Выбрать мелодию звонка"},
    {TXT_DEFAULT_RINGBACK, u"Мелодия вместо гудка по умолчанию"},
    {TXT_RINGBACK_QUESTION, u"Что будут слышать ваши контакты, когда звонят вам?"},
    {TXT_RINGTONE_QUESTION, u"Что вы хотите слышать, когда вам звонят контакты?"},
    {TXT_OPEN, u"Открыть Velto"},
    {TXT_QUIT, u"Выход"},
    {TXT_NEW_MISSED_CALL, u"Новый пропущенный звонок"},
    {TXT_UPDATE_SKYPE, u"Обновите Skype до последней версии."},
    {TXT_TONE_INFO_MESSAGE,
     u"«%s» поставил(а) этот MP3%n специально для тебя с помощью Velto! "
     u"Подробнее: " VELTO_TONE_WEB_SITE},
    {TXT_GIVE_PERMISSION, u"Откройте Skype и разрешите Velto использовать его."},
    {TXT_STANDARD_RINGBACK, u"Стандартная мелодия вместо гудка"},
    {TXT_SYSTEM_DEFAULT, u"Системная по умолчанию"},
    {TXT_CHANGE, u"Изменить"},
    // Contacts in the window.
    {TXT_CONTACT_NEW, u"Новый контакт"},
    {TXT_CONTACT_EDIT, u"Изменить контакт"},
    {TXT_CONTACT_REMOVE, u"Удалить контакт"},
    {TXT_CONTACT_IMPORT, u"Импорт контактов"},
    {TXT_CONTACT_EXPORT, u"Экспорт контактов"},
    {TXT_CONTACT_NAME, u"Имя"},
    {TXT_CONTACT_NICKNAME, u"Псевдоним"},
    {TXT_CONTACT_ADDRESS, u"SIP-адрес"},
    {TXT_CONTACT_GROUPS, u"Группы"},
    {TXT_CONTACT_GROUP_HINT, u"Разделяйте группы запятыми, например: Семья, Работа"},
    {TXT_CONTACT_BAD_URI, u"Это не SIP-адрес. Запишите его в виде name@example.org."},
    {TXT_CONTACT_MAX_GROUPS, u"Контакт может входить не более чем в 16 групп."},
    {TXT_CONTACT_DUPLICATE, u"У другого контакта уже есть этот SIP-адрес."},
    {TXT_CONTACT_ASK_REMOVE, u"Удалить этот контакт?"},
    {TXT_CONTACT_NOT_SAVED, u"Не удалось сохранить контакты."},
    {TXT_CONTACT_DAMAGED,
     u"Файл контактов был повреждён. Всё, что удалось прочитать, сохранено; повреждённый файл "
     u"сохранён как:"},
    {TXT_CONTACT_IMPORTED, u"Добавлено контактов:"},
    {TXT_CONTACT_KNOWN, u"Уже есть в контактах:"},
    {TXT_CONTACT_SKIPPED, u"Пропущено (нет SIP-адреса):"},
    {TXT_CONTACT_NO_IMPORT, u"Не удалось импортировать файл."},
    {TXT_CONTACT_ADD_CALLER, u"Добавить в контакты"},
    {TXT_CONTACT_VCARD_TYPE, u"Файлы vCard (*.vcf *.vcard)"},
    {TXT_CONTACT_KEPT_ASIDE, u"Карточки без SIP-адреса пропущены. Исходный файл сохранён как:"},
};

}  // namespace

std::span<const TextEntry> RussianTexts() {
    return kTexts;
}

}  // namespace velto::i18n
