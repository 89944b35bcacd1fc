#include "i18n/TextEntry.h"

namespace velto::i18n {
namespace {

// TXT_MP3_LEGAL_NOTE and TXT_SLOGAN stay in English.
constexpr TextEntry kTexts[] = {
    {TXT_BROWSE, u"Examinar"},
    {TXT_OK, u"Aceptar"},
    {TXT_CANCEL, u"Cancelar"},
    {TXT_PLAY, u"Reproducir"},
    {TXT_INVALID_FORMAT, u"Formato no válido"},
    {TXT_DELETE, u"Eliminar"},
    {TXT_CONFIRM_DELETION, u"¿Confirmar la eliminación?"},
    {TXT_SIGN_IN_SKYPE, u"Inicie sesión en Skype"},
    {TXT_MISSED_CALL, u"Llamada perdida"},
    {TXT_OPTIONS, u"Opciones"},
    {TXT_RINGBACK_TONE, u"Tono de espera"},
    {TXT_RINGBACK_SETTINGS, u"Configuración del tono de espera"},
    {TXT_CHOOSE_RINGBACK, u"Elegir un tono de espera"},
    {TXT_MISSED_CALL_TITLE, u"Llamadas perdidas"},
    {TXT_START_AT_LOGIN, u"Iniciar Velto al iniciar sesión"},
    {TXT_TONE_INFO_OPTION, u"Activar el mensaje informativo del tono de espera"},
    {TXT_GENERAL, u"General"},
    {TXT_AUTO_UPDATE, u"Actualización automática"},
    {TXT_SELECT_LANGUAGE, u"Seleccionar idioma"},
    {TXT_VOICE_MAIL, u"Buzón de voz"},
    {TXT_ENABLE_VOICE_MAIL, u"Activar el buzón de voz"},
    {TXT_DEFAULT_GREETING, u"Saludo predeterminado"},
    {TXT_SELECT_GREETING, u"Seleccionar saludo"},
    {TXT_ABOUT, u"Acerca de"},
    {TXT_HELP, u" Ayuda"},
    {TXT_FEEDBACK, u"Comentarios"},
    {TXT_RINGTONE_SETTINGS, u"Configuración del tono de llamada"},
    {TXT_DEFAULT_RINGTONE, u"Tono de llamada predeterminado"},
    {TXT_SELECT_RINGTONE, u"Seleccionar tono de llamada"},
    {TXT_DEFAULT_RINGBACK, u"Tono de espera predeterminado"},
    {TXT_RINGBACK_QUESTION, u"¿Qué quiere que escuchen sus contactos cuando le llaman?"},
    {TXT_RINGTONE_QUESTION, u"¿Qué quiere escuchar cuando sus contactos le llaman?"},
    {TXT_OPEN, u"Abrir Velto"},
    {TXT_QUIT, u"Salir"},
    {TXT_NEW_MISSED_CALL, u"Nueva llamada perdida"},
    {TXT_UPDATE_SKYPE, u"Actualice Skype a la versión más reciente."},
    {TXT_TONE_INFO_MESSAGE,
     u"¡\"%s\" ha elegido este MP3%n especialmente para ti con Velto! Más "
     u"información: " VELTO_TONE_WEB_SITE},
    {TXT_GIVE_PERMISSION, u"Abra Skype y permita que Velto lo utilice."},
    {TXT_STANDARD_RINGBACK, u"Tono de espera estándar"},
    {TXT_SYSTEM_DEFAULT, u"Predeterminado del sistema"},
    {TXT_CHANGE, u"Cambiar"},
    // Contacts in the window.
    {TXT_CONTACT_NEW, u"Nuevo contacto"},
    {TXT_CONTACT_EDIT, u"Editar contacto"},
    {TXT_CONTACT_REMOVE, u"Eliminar contacto"},
    {TXT_CONTACT_IMPORT, u"Importar contactos"},
    {TXT_CONTACT_EXPORT, u"Exportar contactos"},
    {TXT_CONTACT_NAME, u"Nombre"},
    {TXT_CONTACT_NICKNAME, u"Apodo"},
    {TXT_CONTACT_ADDRESS, u"Dirección SIP"},
    {TXT_CONTACT_GROUPS, u"Grupos"},
    {TXT_CONTACT_GROUP_HINT, u"Separe los grupos con comas, por ejemplo: Familia, Trabajo"},
    {TXT_CONTACT_BAD_URI, u"Esto no es una dirección SIP. Escríbala como nombre@example.org."},
    {TXT_CONTACT_MAX_GROUPS, u"Un contacto puede estar como máximo en 16 grupos."},
    {TXT_CONTACT_DUPLICATE, u"Otro contacto ya tiene esta dirección SIP."},
    {TXT_CONTACT_ASK_REMOVE, u"¿Eliminar este contacto?"},
    {TXT_CONTACT_NOT_SAVED, u"No se pudieron guardar los contactos."},
    {TXT_CONTACT_DAMAGED,
     u"El archivo de contactos estaba dañado. Se conserva lo que pudo leerse; el archivo dañado se "
     u"guarda como:"},
    {TXT_CONTACT_IMPORTED, u"Contactos añadidos:"},
    {TXT_CONTACT_KNOWN, u"Ya en sus contactos:"},
    {TXT_CONTACT_SKIPPED, u"Omitidos (sin dirección SIP):"},
    {TXT_CONTACT_NO_IMPORT, u"No se pudo importar el archivo."},
    {TXT_CONTACT_ADD_CALLER, u"Añadir a contactos"},
    {TXT_CONTACT_VCARD_TYPE, u"Archivos vCard (*.vcf *.vcard)"},
    {TXT_CONTACT_KEPT_ASIDE,
     u"Se omitieron las tarjetas sin dirección SIP. El archivo original se guarda como:"},
};

}  // namespace

std::span<const TextEntry> SpanishTexts() {
    return kTexts;
}

}  // namespace velto::i18n
