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
    // Contacts in the window.
    {TXT_CONTACT_NEW, u"Novo contato"},
    {TXT_CONTACT_EDIT, u"Editar contato"},
    {TXT_CONTACT_REMOVE, u"Remover contato"},
    {TXT_CONTACT_IMPORT, u"Importar contatos"},
    {TXT_CONTACT_EXPORT, u"Exportar contatos"},
    {TXT_CONTACT_NAME, u"Nome"},
    {TXT_CONTACT_NICKNAME, u"Apelido"},
    {TXT_CONTACT_ADDRESS, u"Endereço SIP"},
    {TXT_CONTACT_GROUPS, u"Grupos"},
    {TXT_CONTACT_GROUP_HINT, u"Separe os grupos com vírgulas, por exemplo: Família, Trabalho"},
    {TXT_CONTACT_BAD_URI, u"Isto não é um endereço SIP. Escreva-o como nome@example.org."},
    {TXT_CONTACT_MAX_GROUPS, u"Um contato pode estar em no máximo 16 grupos."},
    {TXT_CONTACT_DUPLICATE, u"Outro contato já tem este endereço SIP."},
    {TXT_CONTACT_ASK_REMOVE, u"Remover este contato?"},
    {TXT_CONTACT_NOT_SAVED, u"Não foi possível salvar os contatos."},
    {TXT_CONTACT_DAMAGED,
     u"O arquivo de contatos estava danificado. O que pôde ser lido foi mantido; o arquivo "
     u"danificado foi guardado como:"},
    {TXT_CONTACT_IMPORTED, u"Contatos adicionados:"},
    {TXT_CONTACT_KNOWN, u"Já nos seus contatos:"},
    {TXT_CONTACT_SKIPPED, u"Ignorados (sem endereço SIP):"},
    {TXT_CONTACT_NO_IMPORT, u"Não foi possível importar o arquivo."},
    {TXT_CONTACT_ADD_CALLER, u"Adicionar aos contatos"},
    {TXT_CONTACT_VCARD_TYPE, u"Arquivos vCard (*.vcf *.vcard)"},
    {TXT_CONTACT_KEPT_ASIDE,
     u"Cartões sem endereço SIP foram ignorados. O arquivo original foi guardado como:"},
};

}  // namespace

std::span<const TextEntry> BrazilianPortugueseTexts() {
    return kTexts;
}

}  // namespace velto::i18n
