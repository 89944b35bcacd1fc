// LeakSanitizer's suppressions for this program only: the SIP stack's own leaks, inside
// distribution libraries. The stack's libraries keep no frame pointers, so the fast
// unwinder (the slow one is too slow for real-time media) stops at the first library frame:
// the entries name those libraries, which only the SIP stack uses here.
extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions() {
    return
        // liblinphone's presence parser keeps libxml2's XPath result of every NOTIFY it reads
        // (linphone_notify_parse_presence, about 90 bytes per presence change).
        "leak:libxml2.so.2\n"
        // mediastreamer's PulseAudio sound-card detection, run when the stack is created
        // (ms_factory_init_voip), keeps one libpulse allocation.
        "leak:pa_xmalloc\n"
        // bctoolbox keeps the file structure of an open that the full disk refused
        // (bctbx_file_open, about 21 KB once per refused file).
        "leak:bctbx_file_open\n";
}
