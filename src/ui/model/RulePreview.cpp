#include "ui/model/RulePreview.h"

#include "calls/CallRules.h"
#include "calls/RingBackTone.h"
#include "i18n/LanguageTable.h"
#include "platform/Text.h"
#include "rules/RuleMatch.h"

namespace velto::ui {
namespace {

std::u16string Word(i18n::TextKey key, int32_t language) {
    return i18n::GetText(key, language);
}

std::u16string Number(int value) {
    return platform::Utf8ToUtf16(std::to_string(value));
}

// What a tone's label says when it has none: the installation's standard tone.
std::u16string Labelled(const std::optional<std::u16string>& label, int32_t language) {
    return label && !label->empty() ? *label : Word(i18n::TXT_STANDARD_RINGBACK, language);
}

// The tone the caller hears: the rule's, else the contact's own choice, else the standard.
std::u16string ToneWords(const std::optional<rules::ToneChoice>& tone, const std::string& handle,
                         calls::CallServices& services, int32_t language) {
    const core::RingBackChoice standard{calls::kModeStandard, -1, -1};
    if (tone) {
        switch (tone->kind) {
            case rules::ToneChoice::Kind::Silence:
                return Word(i18n::TXT_RULE_SILENCE, language);
            case rules::ToneChoice::Kind::Item:
                return Labelled(calls::ToneLabel({calls::kModeFirstItem, tone->item, -1},
                                                 services.settings, services),
                                language);
            case rules::ToneChoice::Kind::Standard:
                return Labelled(calls::ToneLabel(standard, services.settings, services), language);
        }
    }
    const auto own = handle.empty() ? std::nullopt : services.settings.FindRingBack(handle);
    const core::RingBackChoice choice = own && own->mode != calls::kModeAd ? *own : standard;
    return Labelled(calls::ToneLabel(choice, services.settings, services), language);
}

std::u16string FileWords(const std::string& file, i18n::TextKey defaultKey, int32_t language) {
    return file == "default" ? Word(defaultKey, language) : platform::Utf8ToUtf16(file);
}

}  // namespace

std::u16string DescribeOutcome(const rules::Actions& then, const std::optional<std::string>& handle,
                               calls::CallServices& services, int32_t language) {
    if (then.refuse) {
        return Word(i18n::TXT_RULE_REFUSE, language);
    }
    std::u16string text = handle || then.tone
                              ? ToneWords(then.tone, handle.value_or(""), services, language)
                              : Word(i18n::TXT_RINGBACK_TONE, language) + u": " +
                                    Word(i18n::TXT_RULE_UNCHANGED, language);
    const auto add = [&text](const std::u16string& part) { text += u"; " + part; };
    add(Word(then.ring.value_or(true) ? i18n::TXT_RULE_RING : i18n::TXT_RULE_SILENT_PANEL,
             language));
    if (then.ringTone) {
        add(Word(i18n::TXT_RULE_RINGTONE, language) + u": " +
            FileWords(*then.ringTone, i18n::TXT_DEFAULT_RINGTONE, language));
    }
    // A rule's ring time starts the machine even with voice mail off.
    std::optional<int> seconds = then.ringSeconds;
    if (!seconds && services.settings.VoiceMailOn()) {
        seconds = static_cast<int>(services.timings.ringLimit.count() / 1000);
    }
    if (seconds) {
        // No line break between the number and its unit.
        add(Word(i18n::TXT_RULE_MACHINE_AFTER, language) + u" " + Number(*seconds) + u"\u00a0s");
        if (then.greeting) {
            add(Word(i18n::TXT_RULE_GREETING, language) + u": " +
                FileWords(*then.greeting, i18n::TXT_DEFAULT_GREETING, language));
        }
    }
    return text;
}

RulePreview PreviewRules(const rules::RuleList& list, const PreviewQuestion& question,
                         calls::CallServices& services, skype::Skype* skype,
                         const std::filesystem::path& ownFolder, int32_t language) {
    rules::CallFacts facts;
    switch (question.caller.kind) {
        case PreviewCaller::Kind::Contact:
            facts = calls::FactsOfCall(services, skype, question.caller.handle);
            break;
        case PreviewCaller::Kind::Unknown:
            facts.caller = "?";  // a caller id that no contact has
            break;
        case PreviewCaller::Kind::Anonymous:
            break;
    }
    facts.when = rules::ToCivilTime(question.when);
    facts.presence = question.presence;
    const rules::Decision decision =
        rules::Decide(list, facts, calls::WorldOf(services, ownFolder));
    const std::string handle =
        question.caller.kind == PreviewCaller::Kind::Contact ? question.caller.handle : "";
    RulePreview preview;
    preview.index = decision.index;
    if (decision.rule == nullptr) {
        preview.heading = Word(i18n::TXT_RULE_NONE_DECIDES, language);
        preview.outcome = DescribeOutcome({}, handle, services, language);
        return preview;
    }
    preview.heading = Word(i18n::TXT_RULE, language) + u" " + Number(decision.index + 1) +
                      u" \u201c" + platform::Utf8ToUtf16(decision.rule->name) + u"\u201d";
    preview.outcome = DescribeOutcome(decision.rule->then, handle, services, language);
    return preview;
}

}  // namespace velto::ui
