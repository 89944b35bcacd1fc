// The contact list as the user sees it: the Qt model behind the main window's list view,
// 348 x 360 pixels on the offscreen platform, with 10,000 contacts. A
// rebuild includes the view's layout and one paint; a status update includes the model's
// move and the view's repaint. The stream applies a burst of updates per turn of the event
// loop, as a flood of status messages arrives between two paints, and reports the longest
// turn: how long the window stopped answering.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <random>

#include "ui/ContactListModel.h"
#include "ui/ContactListView.h"
#include "ui/ContactRowDelegate.h"

namespace {

using velto::skype::OnlineStatus;
using velto::ui::Contact;
using velto::ui::ContactList;

velto::ui::ContactList MakeContacts(size_t count) {
    static const char* const names[] = {"anna",    "Bernd", "Chloé", "david", "Émile", "Frida",
                                        "Gao Wei", "hiro",  "Jörg",  "李娜",  "María", "Søren"};
    std::mt19937 random(42);
    velto::ui::ContactList contacts;
    for (size_t i = 0; i < count; ++i) {
        const std::string name =
            std::string(names[random() % std::size(names)]) + " " + std::to_string(i);
        const auto status = random() % 10 < 3 ? OnlineStatus::Online : OnlineStatus::Offline;
        contacts.push_back({"user." + std::to_string(i), name, name, status});
    }
    return contacts;
}

struct View {
    View() {
        view.setModel(&model);
        view.setItemDelegate(&delegate);
        view.resize(348, 360);
        view.show();
    }
    velto::ui::ContactListModel model;
    velto::ui::ContactRowDelegate delegate;
    velto::ui::ContactListView view;
};

void BM_ContactViewRebuild(benchmark::State& state) {
    const velto::ui::ContactList contacts = MakeContacts(static_cast<size_t>(state.range(0)));
    View view;
    for (auto _ : state) {
        view.model.state().Rebuild(contacts);
        view.view.repaint();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ContactViewRebuild)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ContactViewStatusUpdate(benchmark::State& state) {
    velto::ui::ContactList contacts = MakeContacts(static_cast<size_t>(state.range(0)));
    View view;
    view.model.state().Rebuild(contacts);
    view.model.state().Select(5);
    QApplication::processEvents();
    std::mt19937 random(7);
    for (auto _ : state) {
        velto::ui::Contact& contact = contacts[random() % contacts.size()];
        contact.onlineStatus = contact.onlineStatus == OnlineStatus::Offline
                                   ? OnlineStatus::Online
                                   : OnlineStatus::Offline;
        view.model.state().Update(contact, false);
        view.view.repaint();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ContactViewStatusUpdate)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Arguments: contacts, updates per turn of the event loop.
void BM_ContactViewStatusStream(benchmark::State& state) {
    velto::ui::ContactList contacts = MakeContacts(static_cast<size_t>(state.range(0)));
    const int burst = static_cast<int>(state.range(1));
    View view;
    view.model.state().Rebuild(contacts);
    view.model.state().Select(5);
    // Scrolled into the middle, where moves above and below the visible rows both happen.
    view.view.scrollTo(view.model.index(view.model.rowCount() / 2),
                       QAbstractItemView::PositionAtCenter);
    QApplication::processEvents();
    std::mt19937 random(11);
    double longest = 0;
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < burst; ++i) {
            velto::ui::Contact& contact = contacts[random() % contacts.size()];
            contact.onlineStatus = contact.onlineStatus == OnlineStatus::Offline
                                       ? static_cast<OnlineStatus>(1 + random() % 4)
                                       : OnlineStatus::Offline;
            view.model.state().Update(contact, false);
        }
        QApplication::processEvents();  // the view's deferred layout and paint
        const std::chrono::duration<double, std::milli> turn =
            std::chrono::steady_clock::now() - start;
        longest = std::max(longest, turn.count());
        total += turn.count();
    }
    state.counters["longest_turn_ms"] = longest;
    state.counters["us_per_update"] =
        total * 1000 / (static_cast<double>(state.iterations()) * burst);
}
BENCHMARK(BM_ContactViewStatusStream)
    ->Args({1000, 1})
    ->Args({10000, 1})
    ->Args({10000, 100})
    ->Args({10000, 1000})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
