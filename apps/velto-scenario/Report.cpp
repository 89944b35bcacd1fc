#include <filesystem>

#include "platform/Text.h"
#include "velto-scenario/ScenarioRunner.h"

namespace velto::scenario {
namespace {

std::string Seconds(platform::Millis ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", static_cast<double>(ms.count()) / 1000.0);
    return text;
}

std::string Json(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

void PrintMissedCalls(const std::vector<calls::MissedCall>& records, std::ostream& out) {
    out << "\nMissed-call records: " << records.size() << "\n";
    for (const auto& record : records) {
        out << "  " << record.partnerHandle << " at " << record.time;
        if (record.hasVoiceMessage) {
            out << ", voice message " << FileName(platform::Utf16ToUtf8(record.voiceFile));
        }
        if (record.busy) {
            out << ", refused busy";
        }
        out << "\n";
    }
}

}  // namespace

void PrintReport(const Report& report, std::ostream& out) {
    out << "Scenario " << (report.interrupted ? "interrupted" : "ended") << " at "
        << Seconds(report.endedAt) << "; data in " << report.dataDir << "\n";
    if (report.attachedAt) {
        out << "Skype granted access at " << Seconds(*report.attachedAt);
        if (report.contactListShownAt) {
            out << "; the contact list settled at " << Seconds(*report.contactListShownAt);
        }
        out << "\n";
    }
    out << "\nCalls: " << report.calls.size() << "\n";
    for (const CallReport& call : report.calls) {
        out << "  " << call.name << ": " << call.type << " call from " << call.handle << " (id "
            << call.id << ")\n    ending: " << call.ending << "\n    statuses:";
        for (int32_t status : call.statuses) {
            out << " " << status;
        }
        out << "\n";
        if (call.panelShownAt) {
            out << "    panel shown at " << Seconds(*call.panelShownAt) << "\n";
        }
        if (call.decidedAt) {
            out << "    user pressed at " << Seconds(*call.decidedAt) << "\n";
        }
        if (call.rule) {
            out << "    rule: " << *call.rule << "\n";
        }
        out << "    the caller heard " << call.heard.size() << " segment(s), longest gap "
            << call.longestGap.count() << " ms:\n";
        // Runs of the same file in one line each.
        for (size_t i = 0; i < call.heard.size();) {
            size_t j = i;
            while (j + 1 < call.heard.size() && call.heard[j + 1].file == call.heard[i].file) {
                ++j;
            }
            out << "      " << FileName(call.heard[i].file) << " x" << (j - i + 1) << " from "
                << Seconds(call.heard[i].start) << " to " << Seconds(call.heard[j].end) << "\n";
            i = j + 1;
        }
    }
    out << "\nChat messages: " << report.chats.size() << "\n";
    for (const auto& chat : report.chats) {
        out << "  " << chat << "\n";
    }
    PrintMissedCalls(report.missedCalls, out);
    out << "\nRecorded voice files: " << report.recordings.size() << "\n";
    for (const auto& file : report.recordings) {
        out << "  " << file.path << ": " << Seconds(file.wavLength.value_or(platform::Millis(0)))
            << ", " << file.bytes << " bytes\n";
    }
    out << "\nPartner tones: " << report.partnerTones.size() << "; standard tone setting "
        << report.standardTone;
    if (report.standardTone == 2) {
        out << " (partner tone " << report.partnerToneKey << ")";
    }
    out << "\n";
    for (const auto& tone : report.partnerTones) {
        out << "  " << tone.key << " \"" << tone.title << "\": "
            << (tone.downloaded ? "downloaded to " + tone.localPath
                : tone.failed   ? std::string("download failed")
                                : std::string("not downloaded"))
            << "\n";
    }
    out << "\nFiles written: " << report.files.size() << "\n";
    for (const auto& file : report.files) {
        out << "  " << file.path << " (" << file.bytes << " bytes)\n";
    }
    for (const auto& problem : report.problems) {
        out << "\nNote: " << problem << "\n";
    }
}

namespace {

// The items of `list` as a JSON array, each written by `item`.
template <typename List, typename Item>
void JsonArray(std::ostream& out, const List& list, Item item) {
    out << "[";
    const char* sep = "";
    for (const auto& element : list) {
        out << sep;
        item(element);
        sep = ",";
    }
    out << "]";
}

void JsonCall(std::ostream& out, const CallReport& call) {
    out << "{\"name\":" << Json(call.name) << ",\"handle\":" << Json(call.handle)
        << ",\"id\":" << call.id << ",\"type\":" << Json(call.type)
        << ",\"ending\":" << Json(call.ending) << ",\"longestGapMs\":" << call.longestGap.count()
        << ",\"statuses\":";
    JsonArray(out, call.statuses, [&](int32_t status) { out << status; });
    if (call.panelShownAt) {
        out << ",\"panelShownAtMs\":" << call.panelShownAt->count();
    }
    if (call.decidedAt) {
        out << ",\"decidedAtMs\":" << call.decidedAt->count();
    }
    out << ",\"rule\":" << (call.rule ? Json(*call.rule) : std::string("null"));
    out << ",\"heard\":";
    JsonArray(out, call.heard, [&](const auto& segment) {
        out << "{\"file\":" << Json(segment.file) << ",\"startMs\":" << segment.start.count()
            << ",\"endMs\":" << segment.end.count() << "}";
    });
    out << "}";
}

void JsonFile(std::ostream& out, const FileReport& file) {
    out << "{\"path\":" << Json(file.path) << ",\"bytes\":" << file.bytes;
    if (file.wavLength) {
        out << ",\"wavLengthMs\":" << file.wavLength->count();
    }
    out << "}";
}

}  // namespace

void PrintJsonReport(const Report& report, std::ostream& out) {
    out << "{\"endedAtMs\":" << report.endedAt.count()
        << ",\"interrupted\":" << (report.interrupted ? "true" : "false")
        << ",\"dataDir\":" << Json(report.dataDir);
    if (report.attachedAt) {
        out << ",\"attachedAtMs\":" << report.attachedAt->count();
    }
    if (report.contactListShownAt) {
        out << ",\"contactListShownAtMs\":" << report.contactListShownAt->count();
    }
    const auto text = [&](const std::string& line) { out << Json(line); };
    const auto file = [&](const FileReport& one) { JsonFile(out, one); };
    out << ",\"calls\":";
    JsonArray(out, report.calls, [&](const CallReport& call) { JsonCall(out, call); });
    out << ",\"chats\":";
    JsonArray(out, report.chats, text);
    out << ",\"missedCalls\":";
    JsonArray(out, report.missedCalls, [&](const auto& record) {
        out << "{\"handle\":" << Json(record.partnerHandle) << ",\"time\":" << Json(record.time)
            << ",\"hasVoiceMessage\":" << (record.hasVoiceMessage ? "true" : "false")
            << ",\"voiceFile\":" << Json(platform::Utf16ToUtf8(record.voiceFile))
            << ",\"heard\":" << (record.heard ? "true" : "false")
            << ",\"busy\":" << (record.busy ? "true" : "false") << "}";
    });
    out << ",\"recordings\":";
    JsonArray(out, report.recordings, file);
    out << ",\"files\":";
    JsonArray(out, report.files, file);
    out << ",\"standardTone\":" << report.standardTone
        << ",\"partnerToneKey\":" << Json(report.partnerToneKey) << ",\"partnerTones\":";
    JsonArray(out, report.partnerTones, [&](const auto& tone) {
        out << "{\"key\":" << Json(tone.key) << ",\"title\":" << Json(tone.title)
            << ",\"localPath\":" << Json(tone.localPath)
            << ",\"downloaded\":" << (tone.downloaded ? "true" : "false")
            << ",\"failed\":" << (tone.failed ? "true" : "false") << "}";
    });
    out << ",\"notes\":";
    JsonArray(out, report.problems, text);
    out << "}\n";
}

}  // namespace velto::scenario
