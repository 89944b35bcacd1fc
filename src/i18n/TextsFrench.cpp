#include "i18n/TextEntry.h"

namespace velto::i18n {
namespace {

// TXT_OK, TXT_MP3_LEGAL_NOTE and TXT_SLOGAN stay in English. French punctuation takes a
// no-break space (U+00A0) before "?", "!" and ":" and inside the guillemets.
constexpr TextEntry kTexts[] = {
    {TXT_BROWSE, u"Parcourir"},
    {TXT_CANCEL, u"Annuler"},
    {TXT_PLAY, u"Lire"},
    {TXT_INVALID_FORMAT, u"Format non valide"},
    {TXT_DELETE, u"Supprimer"},
    {TXT_CONFIRM_DELETION, u"Confirmer la suppression\u00A0?"},
    {TXT_SIGN_IN_SKYPE, u"Veuillez vous connecter à Skype"},
    {TXT_MISSED_CALL, u"Appel manqué"},
    {TXT_OPTIONS, u"Options"},
    {TXT_RINGBACK_TONE, u"Tonalité d’attente"},
    {TXT_RINGBACK_SETTINGS, u"Paramètres de la tonalité d’attente"},
    {TXT_CHOOSE_RINGBACK, u"Choisir une tonalité d’attente"},
    {TXT_MISSED_CALL_TITLE, u"Appels manqués"},
    {TXT_START_AT_LOGIN, u"Lancer Velto à l’ouverture de session"},
    {TXT_TONE_INFO_OPTION, u"Activer le message d’information sur la tonalité d’attente"},
    {TXT_GENERAL, u"Général"},
    {TXT_AUTO_UPDATE, u"Mise à jour automatique"},
    {TXT_SELECT_LANGUAGE, u"Choisir la langue"},
    {TXT_VOICE_MAIL, u"Messagerie vocale"},
    {TXT_ENABLE_VOICE_MAIL, u"Activer la messagerie vocale"},
    {TXT_DEFAULT_GREETING, u"Annonce par défaut"},
    {TXT_SELECT_GREETING, u"Choisir une annonce"},
    {TXT_ABOUT, u"À propos"},
    {TXT_HELP, u" Aide"},
    {TXT_FEEDBACK, u"Commentaires"},
    {TXT_RINGTONE_SETTINGS, u"Paramètres de la sonnerie"},
    {TXT_DEFAULT_RINGTONE, u"Sonnerie par défaut"},
    {TXT_SELECT_RINGTONE, u"Choisir une sonnerie"},
    {TXT_DEFAULT_RINGBACK, u"Tonalité d’attente par défaut"},
    {TXT_RINGBACK_QUESTION,
     u"Que voulez-vous faire entendre à vos contacts lorsqu’ils vous appellent\u00A0?"},
    {TXT_RINGTONE_QUESTION, u"Que voulez-vous entendre lorsque vos contacts vous appellent\u00A0?"},
    {TXT_OPEN, u"Ouvrir Velto"},
    {TXT_QUIT, u"Quitter"},
    {TXT_NEW_MISSED_CALL, u"Nouvel appel manqué"},
    {TXT_UPDATE_SKYPE, u"Veuillez installer la dernière version de Skype."},
    {TXT_TONE_INFO_MESSAGE,
     u"«\u00A0%s\u00A0» a choisi ce MP3%n spécialement pour toi, avec Velto\u00A0! Plus "
     u"d’infos\u00A0: " VELTO_TONE_WEB_SITE},
    {TXT_GIVE_PERMISSION, u"Ouvrez Skype et autorisez Velto à l’utiliser."},
    {TXT_STANDARD_RINGBACK, u"Tonalité d’attente standard"},
    {TXT_SYSTEM_DEFAULT, u"Valeur par défaut du système"},
    {TXT_CHANGE, u"Modifier"},
    // Contacts in the window.
    {TXT_CONTACT_NEW, u"Nouveau contact"},
    {TXT_CONTACT_EDIT, u"Modifier le contact"},
    {TXT_CONTACT_REMOVE, u"Supprimer le contact"},
    {TXT_CONTACT_IMPORT, u"Importer des contacts"},
    {TXT_CONTACT_EXPORT, u"Exporter les contacts"},
    {TXT_CONTACT_NAME, u"Nom"},
    {TXT_CONTACT_NICKNAME, u"Surnom"},
    {TXT_CONTACT_ADDRESS, u"Adresse SIP"},
    {TXT_CONTACT_GROUPS, u"Groupes"},
    {TXT_CONTACT_GROUP_HINT,
     u"Séparez les groupes par des virgules, par exemple : Famille, Travail"},
    {TXT_CONTACT_BAD_URI,
     u"Ce n'est pas une adresse SIP. Écrivez-la sous la forme nom@example.org."},
    {TXT_CONTACT_MAX_GROUPS, u"Un contact peut appartenir à 16 groupes au plus."},
    {TXT_CONTACT_DUPLICATE, u"Un autre contact a déjà cette adresse SIP."},
    {TXT_CONTACT_ASK_REMOVE, u"Supprimer ce contact ?"},
    {TXT_CONTACT_NOT_SAVED, u"Les contacts n'ont pas pu être enregistrés."},
    {TXT_CONTACT_DAMAGED,
     u"Le fichier des contacts était endommagé. Ce qui a pu être lu est conservé ; le fichier "
     u"endommagé est gardé sous :"},
    {TXT_CONTACT_IMPORTED, u"Contacts ajoutés :"},
    {TXT_CONTACT_KNOWN, u"Déjà dans vos contacts :"},
    {TXT_CONTACT_SKIPPED, u"Ignorés (sans adresse SIP) :"},
    {TXT_CONTACT_NO_IMPORT, u"Le fichier n'a pas pu être importé."},
    {TXT_CONTACT_ADD_CALLER, u"Ajouter aux contacts"},
    {TXT_CONTACT_VCARD_TYPE, u"Fichiers vCard (*.vcf *.vcard)"},
    {TXT_CONTACT_KEPT_ASIDE,
     u"Les fiches sans adresse SIP ont été ignorées. Le fichier d'origine est gardé sous :"},
};

}  // namespace

std::span<const TextEntry> FrenchTexts() {
    return kTexts;
}

}  // namespace velto::i18n
