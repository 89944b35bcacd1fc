#include "rules/RuleWords.h"

#include "rules/RulesCodec.h"

namespace velto::rules {

namespace {

std::vector<std::string> SplitList(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(separator, start), text.size());
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string Quoted(const std::string& text) {
    std::string json = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            json += '\\';
        if (static_cast<unsigned char>(c) >= 0x20)
            json += c;
    }
    return json + "\"";
}

std::string QuotedList(const std::vector<std::string>& items) {
    std::string json = "[";
    for (const std::string& item : items) {
        json += (json.size() > 1 ? "," : "") + Quoted(item);
    }
    return json + "]";
}

std::string Callers(const std::string& value) {
    std::vector<std::string> contacts, groups;
    std::string flags;
    for (const std::string& part : SplitList(value, ',')) {
        if (part == "unknown" || part == "anonymous") {
            flags += ",\"" + part + "\":true";
        } else if (part.rfind("group:", 0) == 0) {
            groups.push_back(part.substr(6));
        } else {
            contacts.push_back(part);
        }
    }
    return "{\"contacts\":" + QuotedList(contacts) + ",\"groups\":" + QuotedList(groups) + flags +
           "}";
}

std::string Range(const std::string& value, const std::string& separator) {
    const size_t at = value.find(separator);
    if (at == std::string::npos) {
        return "{\"from\":" + Quoted(value) + "}";  // refused by the decoder, by field
    }
    return "{\"from\":" + Quoted(value.substr(0, at)) +
           ",\"to\":" + Quoted(value.substr(at + separator.size())) + "}";
}

}  // namespace

ParsedRuleWords ParseRuleWords(
    const std::vector<std::string>& words,
    const std::function<std::optional<int32_t>(const std::string&)>& toneItem) {
    ParsedRuleWords parsed;
    if (words.empty()) {
        parsed.error = "a rule needs a name";
        return parsed;
    }
    // The words become the file's JSON, so that one decoder checks both forms.
    std::string when, then, enabled = "true";
    const auto add = [](std::string& object, const std::string& key, const std::string& json) {
        object += (object.empty() ? "" : ",") + ("\"" + key + "\":") + json;
    };
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        const size_t eq = word.find('=');
        const std::string key = word.substr(0, eq);
        const std::string value = eq == std::string::npos ? "" : word.substr(eq + 1);
        if (word == "off")
            enabled = "false";
        else if (word == "refuse")
            add(then, "refuse", "true");
        else if (key == "callers")
            add(when, "callers", Callers(value));
        else if (key == "days")
            add(when, "days", QuotedList(SplitList(value, ',')));
        else if (key == "presence")
            add(when, "presence", QuotedList(SplitList(value, ',')));
        else if (key == "time")
            add(when, "time", Range(value, "-"));
        else if (key == "dates")
            add(when, "dates", Range(value, ".."));
        else if (key == "ring")
            add(then, "ring", value == "on" ? "true" : value == "off" ? "false" : Quoted(value));
        else if (key == "ringtone")
            add(then, "ringTone", Quoted(value));
        else if (key == "greeting")
            add(then, "greeting", Quoted(value));
        else if (key == "ring-seconds") {
            const bool digits = !value.empty() && value.size() < 6 &&
                                value.find_first_not_of("0123456789") == std::string::npos;
            add(then, "ringSeconds", digits ? value : Quoted(value));
        } else if (key == "tone") {
            if (value == "standard" || value == "silence") {
                add(then, "tone", Quoted(value));
            } else if (value.rfind("item:", 0) == 0 &&
                       value.find_first_not_of("0123456789", 5) == std::string::npos &&
                       value.size() > 5 && value.size() < 15) {
                add(then, "tone", "{\"item\":" + value.substr(5) + "}");
            } else if (const auto item = toneItem ? toneItem(value) : std::nullopt) {
                add(then, "tone", "{\"item\":" + std::to_string(*item) + "}");
            } else {
                parsed.error =
                    "tone '" + value + "' is not standard, silence, item:N or a known tone";
                return parsed;
            }
        } else {
            parsed.error = "'" + word + "' is not a part of a rule";
            return parsed;
        }
    }
    const std::string json =
        "{\"format\":\"velto-rules\",\"version\":1,\"rules\":[{\"name\":" + Quoted(words[0]) +
        ",\"enabled\":" + enabled + ",\"when\":{" + when + "},\"then\":{" + then + "}}]}";
    DecodedRules decoded = DecodeRules(json);
    if (!decoded.problems.empty()) {
        parsed.error = decoded.problems.front().Describe();
        return parsed;
    }
    parsed.rule = std::move(decoded.rules.front());
    return parsed;
}

}  // namespace velto::rules
