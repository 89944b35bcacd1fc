#include "i18n/TextEntry.h"

namespace velto::i18n {
namespace {

// TXT_OK, TXT_MP3_LEGAL_NOTE and TXT_SLOGAN stay in English.
constexpr TextEntry kTexts[] = {
    {TXT_BROWSE, u"Procurar"},
    {TXT_CANCEL, u"Cancelar"},
    {TXT_PLAY, u"Reproduzir"},
    {TXT_INVALID_FORMAT, u"Formato inválido"},
    {TXT_DELETE, u"Excluir"},
    {TXT_CONFIRM_DELETION, u"Confirmar exclusão?"},
    {TXT_SIGN_IN_SKYPE, u"Entre no Skype"},
    {TXT_MISSED_CALL, u"Chamada perdida"},
    {TXT_OPTIONS, u"Opções"},
    {TXT_RINGBACK_TONE, u"Som de chamada"},
    {TXT_RINGBACK_SETTINGS, u"Configurações do som de chamada"},
    {TXT_CHOOSE_RINGBACK, u"Escolha um som de chamada"},
    {TXT_MISSED_CALL_TITLE, u"Chamadas perdidas"},
    {TXT_START_AT_LOGIN, u"Iniciar o Velto ao entrar na sessão"},
    {TXT_TONE_INFO_OPTION, u"Ativar a mensagem informativa do som de chamada"},
    {TXT_GENERAL, u"Geral"},
    {TXT_AUTO_UPDATE, u"Atualização automática"},
    {TXT_SELECT_LANGUAGE, u"Selecionar idioma"},
    {TXT_VOICE_MAIL, u"Correio de voz"},
    {TXT_ENABLE_VOICE_MAIL, u"Ativar correio de voz"},
    {TXT_DEFAULT_GREETING, u"Saudação padrão"},
    {TXT_SELECT_GREETING, u"Selecionar saudação"},
    {TXT_ABOUT, u"Sobre"},
    {TXT_HELP, u" Ajuda"},
    {TXT_FEEDBACK, u"Enviar comentários"},
    {TXT_RINGTONE_SETTINGS, u"Configurações do toque"},
    {TXT_DEFAULT_RINGTONE, u"Toque padrão"},
    {TXT_SELECT_RINGTONE, u"Selecionar toque"},
    {TXT_DEFAULT_RINGBACK, u"Som de chamada predefinido"},
    {TXT_RINGBACK_QUESTION, u"O que você quer que seus contatos ouçam quando ligarem para você?"},
    {TXT_RINGTONE_QUESTION, u"O que você quer ouvir quando seus contatos ligarem?"},
    {TXT_OPEN, u"Abrir o Velto"},
    {TXT_QUIT, u"Sair"},
    {TXT_NEW_MISSED_CALL, u"Nova chamada perdida"},
    {TXT_UPDATE_SKYPE, u"Atualize o Skype para a versão mais recente."},
    {TXT_TONE_INFO_MESSAGE,
     u"\"%s\" escolheu este MP3%n especialmente para você, com o Velto! Mais "
     u"informações: " VELTO_TONE_WEB_SITE},
    {TXT_GIVE_PERMISSION, u"Abra o Skype e permita que o Velto o utilize."},
    {TXT_STANDARD_RINGBACK, u"Som de chamada padrão"},
    {TXT_SYSTEM_DEFAULT, u"Padrão do sistema"},
    {TXT_CHANGE, u"Alterar"},
};

}  // namespace

std::span<const TextEntry> BrazilianPortugueseTexts() {
    return kTexts;
}

}  // namespace velto::i18n
