// Deciding which rule takes a call: the caller's contact looked up among 10,000 contacts,
// then the rules tried in order. The worst case: the only rule that holds is the last one.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <unordered_map>

#include "rules/RuleMatch.h"

namespace {

using namespace velto::rules;

struct ContactEntry {
    std::vector<std::string> groups;
};

std::unordered_map<std::string, ContactEntry> MakeContacts(size_t count) {
    static const char* const groups[] = {"family", "friends", "work", "club", "neighbours"};
    std::unordered_map<std::string, ContactEntry> contacts;
    for (size_t i = 0; i < count; ++i) {
        ContactEntry entry;
        entry.groups.push_back(groups[i % std::size(groups)]);
        contacts.emplace("sip:user" + std::to_string(i) + "@example.org", entry);
    }
    return contacts;
}

// `count` rules of every kind, none of which holds for the benchmark's caller and moment
// except the last.
RuleList MakeRules(size_t count) {
    std::mt19937 random(7);
    RuleList rules;
    for (size_t i = 0; i + 1 < count; ++i) {
        Rule rule;
        rule.name = "rule " + std::to_string(i);
        switch (i % 4) {
            case 0:  // ten named contacts, none of them the caller
                for (int k = 0; k < 10; ++k) {
                    rule.when.caller.contacts.push_back(
                        "sip:user" + std::to_string(random() % 9000 + 1000) + "@example.org");
                }
                std::sort(rule.when.caller.contacts.begin(), rule.when.caller.contacts.end());
                break;
            case 1:  // a group the caller is not in
                rule.when.caller.groups = {"club"};
                break;
            case 2:  // a night window, the call is at noon
                rule.when.time = TimeWindow{22 * 60, 7 * 60};
                break;
            default:  // do not disturb, the user is online
                rule.when.presence = 1u << static_cast<int>(Presence::DoNotDisturb);
                rule.when.weekdays = 0b1100000;
                break;
        }
        rules.push_back(rule);
    }
    Rule last;
    last.name = "everyone else";
    last.then.tone = ToneChoice{ToneChoice::Kind::Item, 3};
    rules.push_back(last);
    return rules;
}

void BM_DecideACall(benchmark::State& state) {
    const auto contacts = MakeContacts(static_cast<size_t>(state.range(1)));
    const RuleList rules = MakeRules(static_cast<size_t>(state.range(0)));
    const RuleWorld world{[](int32_t) { return true; }, [](const std::string&) { return true; }};
    const std::string caller = "sip:user77@example.org";  // in the "work" group
    const CivilTime noon{2026, 12, 11, 4, 12 * 60};
    for (auto _ : state) {
        CallFacts call{caller, false, {}, noon, Presence::Online};
        if (const auto found = contacts.find(call.caller); found != contacts.end()) {
            call.isContact = true;
            call.groups = found->second.groups;
        }
        const Decision decision = Decide(rules, call, world);
        benchmark::DoNotOptimize(decision.index);
    }
}
BENCHMARK(BM_DecideACall)->Args({1000, 10000})->Args({100, 10000})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
