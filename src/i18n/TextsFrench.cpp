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
    {TXT_RULES, u"Règles"},
    {TXT_RULE, u"Règle"},
    {TXT_RULE_ADD, u"Ajouter"},
    {TXT_RULE_EDIT, u"Modifier"},
    {TXT_RULE_MOVE_UP, u"Monter"},
    {TXT_RULE_MOVE_DOWN, u"Descendre"},
    {TXT_RULE_WHAT_NOW, u"Que se passe-t-il maintenant ?"},
    {TXT_RULE_NONE_DECIDES, u"Aucune règle ne s'applique"},
    {TXT_RULE_NEW, u"Nouvelle règle"},
    {TXT_RULE_NAME, u"Nom"},
    {TXT_RULE_WHEN, u"Quand"},
    {TXT_RULE_THEN, u"Alors"},
    {TXT_RULE_CALLERS, u"Appelants (aucun coché : tout le monde)"},
    {TXT_RULE_GROUP, u"Groupe"},
    {TXT_RULE_UNKNOWN, u"Pas dans mes contacts"},
    {TXT_RULE_ANONYMOUS, u"Anonyme (sans identifiant)"},
    {TXT_RULE_DAYS, u"Jours"},
    {TXT_RULE_TIME, u"Heure"},
    {TXT_RULE_DATES, u"Période"},
    {TXT_RULE_MY_STATUS, u"Mon statut"},
    {TXT_STATUS_ONLINE, u"En ligne"},
    {TXT_STATUS_AWAY, u"Absent"},
    {TXT_STATUS_DND, u"Ne pas déranger"},
    {TXT_STATUS_OFFLINE, u"Hors ligne"},
    {TXT_RULE_UNCHANGED, u"Comme sans règles"},
    {TXT_RULE_SILENCE, u"Aucun son"},
    {TXT_RULE_RING_ME, u"Sonner chez moi"},
    {TXT_RULE_RING, u"Sonner"},
    {TXT_RULE_SILENT_PANEL, u"Panneau seul, sans sonnerie"},
    {TXT_RULE_RINGTONE, u"Sonnerie"},
    {TXT_RULE_MACHINE_AFTER, u"Répondeur après"},
    {TXT_RULE_GREETING, u"Message d'accueil"},
    {TXT_RULE_REFUSE, u"Refuser l'appel (occupé)"},
};

}  // namespace

std::span<const TextEntry> FrenchTexts() {
    return kTexts;
}

}  // namespace velto::i18n
