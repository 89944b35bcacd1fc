#include "i18n/TextEntry.h"

namespace velto::i18n {
namespace {

// TXT_OK, TXT_MP3_LEGAL_NOTE and TXT_SLOGAN stay in English.
constexpr TextEntry kTexts[] = {
    {TXT_BROWSE, u"Telusuri"},
    {TXT_CANCEL, u"Batal"},
    {TXT_PLAY, u"Putar"},
    {TXT_INVALID_FORMAT, u"Format tidak valid"},
    {TXT_DELETE, u"Hapus"},
    {TXT_CONFIRM_DELETION, u"Yakin ingin menghapus?"},
    {TXT_SIGN_IN_SKYPE, u"Silakan masuk ke Skype"},
    {TXT_MISSED_CALL, u"Panggilan tak terjawab"},
    {TXT_OPTIONS, u"Opsi"},
    {TXT_RINGBACK_TONE, u"Nada sambung"},
    {TXT_RINGBACK_SETTINGS, u"Pengaturan nada sambung"},
    {TXT_CHOOSE_RINGBACK, u"Pilih nada sambung"},
    {TXT_MISSED_CALL_TITLE, u"Panggilan tak terjawab"},
    {TXT_START_AT_LOGIN, u"Jalankan Velto saat saya masuk"},
    {TXT_TONE_INFO_OPTION, u"Aktifkan fitur pesan info nada sambung"},
    {TXT_GENERAL, u"Umum"},
    {TXT_AUTO_UPDATE, u"Pembaruan otomatis"},
    {TXT_SELECT_LANGUAGE, u"Pilih bahasa"},
    {TXT_VOICE_MAIL, u"Pesan suara"},
    {TXT_ENABLE_VOICE_MAIL, u"Aktifkan pesan suara"},
    {TXT_DEFAULT_GREETING, u"Salam bawaan"},
    {TXT_SELECT_GREETING, u"Pilih salam"},
    {TXT_ABOUT, u"Tentang"},
    {TXT_HELP, u" Bantuan"},
    {TXT_FEEDBACK, u"Umpan balik"},
    {TXT_RINGTONE_SETTINGS, u"Pengaturan nada dering"},
    {TXT_DEFAULT_RINGTONE, u"Nada dering bawaan"},
    {TXT_SELECT_RINGTONE, u"Pilih nada dering"},
    {TXT_DEFAULT_RINGBACK, u"Nada sambung bawaan"},
    {TXT_RINGBACK_QUESTION,
     u"Apa yang ingin Anda perdengarkan kepada kontak saat mereka menelepon?"},
    {TXT_RINGTONE_QUESTION, u"Apa yang ingin Anda dengar saat kontak menelepon Anda?"},
    {TXT_OPEN, u"Buka Velto"},
    {TXT_QUIT, u"Keluar"},
    {TXT_NEW_MISSED_CALL, u"Panggilan tak terjawab baru"},
    {TXT_UPDATE_SKYPE, u"Silakan perbarui Skype ke versi terbaru."},
    {TXT_TONE_INFO_MESSAGE,
     u"\"%s\" memasang MP3 ini%n khusus untukmu, dengan Velto! Info "
     u"selengkapnya: " VELTO_TONE_WEB_SITE},
    {TXT_GIVE_PERMISSION, u"Buka Skype dan beri Velto izin untuk menggunakannya."},
    {TXT_STANDARD_RINGBACK, u"Nada sambung standar"},
    {TXT_SYSTEM_DEFAULT, u"Bawaan sistem"},
    {TXT_CHANGE, u"Ubah"},
    // Contacts in the window.
    {TXT_CONTACT_NEW, u"Kontak baru"},
    {TXT_CONTACT_EDIT, u"Ubah kontak"},
    {TXT_CONTACT_REMOVE, u"Hapus kontak"},
    {TXT_CONTACT_IMPORT, u"Impor kontak"},
    {TXT_CONTACT_EXPORT, u"Ekspor kontak"},
    {TXT_CONTACT_NAME, u"Nama"},
    {TXT_CONTACT_NICKNAME, u"Nama panggilan"},
    {TXT_CONTACT_ADDRESS, u"Alamat SIP"},
    {TXT_CONTACT_GROUPS, u"Grup"},
    {TXT_CONTACT_GROUP_HINT, u"Pisahkan grup dengan koma, misalnya: Keluarga, Kantor"},
    {TXT_CONTACT_BAD_URI, u"Ini bukan alamat SIP. Tulis sebagai nama@example.org."},
    {TXT_CONTACT_MAX_GROUPS, u"Satu kontak paling banyak masuk 16 grup."},
    {TXT_CONTACT_DUPLICATE, u"Kontak lain sudah memakai alamat SIP ini."},
    {TXT_CONTACT_ASK_REMOVE, u"Hapus kontak ini?"},
    {TXT_CONTACT_NOT_SAVED, u"Kontak tidak dapat disimpan."},
    {TXT_CONTACT_DAMAGED,
     u"Berkas kontak rusak. Bagian yang terbaca tetap disimpan; berkas yang rusak disimpan "
     u"sebagai:"},
    {TXT_CONTACT_IMPORTED, u"Kontak ditambahkan:"},
    {TXT_CONTACT_KNOWN, u"Sudah ada di kontak Anda:"},
    {TXT_CONTACT_SKIPPED, u"Dilewati (tanpa alamat SIP):"},
    {TXT_CONTACT_NO_IMPORT, u"Berkas tidak dapat diimpor."},
    {TXT_CONTACT_ADD_CALLER, u"Tambahkan ke kontak"},
    {TXT_CONTACT_VCARD_TYPE, u"Berkas vCard (*.vcf *.vcard)"},
    {TXT_CONTACT_KEPT_ASIDE, u"Kartu tanpa alamat SIP dilewati. Berkas aslinya disimpan sebagai:"},
};

}  // namespace

std::span<const TextEntry> IndonesianTexts() {
    return kTexts;
}

}  // namespace velto::i18n
