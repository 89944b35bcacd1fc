// The contact list's work for one WM_UPDATELIST (all rows anew) and one WM_UPDATEUSERSTATUS
// (one contact changes status and moves) with 10,000 contacts, a contact selected.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "ui/model/ContactListState.h"

namespace {

using velto::skype::OnlineStatus;
using velto::ui::Contact;
using velto::ui::ContactList;

ContactList MakeContacts(size_t count) {
    static const char* const first[] = {"anna",  "Bernd", "Chloé",  "david", "Émile", "Frida",
                                        "Gao",   "hiro",  "Ingrid", "Jörg",  "Kenji", "Lena",
                                        "María", "Nils",  "Olga",   "Pia",   "李",    "Søren"};
    static const char* const last[] = {"Schmidt",   "tanaka", "Müller",   "Lefèvre",  "王",
                                       "Johansson", "Rossi",  "de Vries", "Kowalski", "Ng"};
    std::mt19937 random(42);
    ContactList contacts;
    contacts.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const std::string name = std::string(first[random() % std::size(first)]) + " " +
                                 last[random() % std::size(last)] + " " + std::to_string(i);
        // Most contacts are offline at any time.
        const auto status =
            random() % 10 < 3 ? static_cast<OnlineStatus>(1 + random() % 6) : OnlineStatus::Offline;
        contacts.push_back({"user." + std::to_string(i), name, i % 3 == 0 ? "" : name, status});
    }
    return contacts;
}

void BM_ContactListRebuild(benchmark::State& state) {
    const ContactList contacts = MakeContacts(static_cast<size_t>(state.range(0)));
    velto::ui::ContactListState list;
    for (auto _ : state) {
        list.Rebuild(contacts);
        benchmark::DoNotOptimize(list.RowCount());
    }
}
BENCHMARK(BM_ContactListRebuild)->Arg(10000)->Unit(benchmark::kMillisecond);

// One contact toggles between online and offline: a move across the list each time.
void BM_ContactListStatusUpdate(benchmark::State& state) {
    ContactList contacts = MakeContacts(static_cast<size_t>(state.range(0)));
    velto::ui::ContactListState list;
    list.Rebuild(contacts);
    list.Select(list.RowCount() / 2);
    std::mt19937 random(7);
    for (auto _ : state) {
        Contact& contact = contacts[random() % contacts.size()];
        contact.onlineStatus = contact.onlineStatus == OnlineStatus::Offline
                                   ? OnlineStatus::Online
                                   : OnlineStatus::Offline;
        list.Update(contact, false);
        benchmark::DoNotOptimize(list.SelectedRow());
    }
}
BENCHMARK(BM_ContactListStatusUpdate)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
