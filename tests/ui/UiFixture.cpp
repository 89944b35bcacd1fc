#include "UiFixture.h"

#include <iterator>

#include "i18n/Languages.h"
#include "support/TempDir.h"

namespace velto::ui::test {

UiFixture::UiFixture() {
    velto::test::WriteFileBytes(dir_ / "machine.reg",
                                "Windows Registry Editor Version 5.00\n\n[Software\\Velto]\n"
                                "\"InstallDir\"=\"" +
                                    (dir_ / "install").string() + "\"\n");
    trace_.set_echo(false);
    world_ = skype::sim::SimWorld::Create(clock_);
}

UiFixture::~UiFixture() {
    if (app_) {
        app_->Shutdown();
        app_.reset();
    }
    QApplication::processEvents();
}

void UiFixture::StartApp(bool signIn, QtFrontEnd::Options options) {
    auto browser = std::make_unique<platform::RecordingUrlOpener>();
    browser_ = browser.get();
    options.urlOpener = std::move(browser);
    options.interactive = false;
    options.language = options.language.value_or(3);
    if (!options.webBase) {
        options.webBase = std::string();
    }
    auto front = std::make_unique<QtFrontEnd>(std::move(options));
    frontEnd_ = front.get();
    if (signIn) {
        world_->SignIn();
    }
    app_ = std::make_unique<app::Application>(app::ApplicationOptions{
        .clock = clock_,
        .folders = platform::KnownFolders({{"HOME", (dir_ / "home").string()}}),
        .machineHive = dir_ / "machine.reg",
        .instanceFolder = dir_ / "run",
        .skypeFactory = world_.get(),
        .serverLink = server::LinkSettings{.host = "127.0.0.1", .port = 1},
        .soundInput = std::move(soundInput_),
        .handleCalls = true,
        .frontEnd = std::move(front),
    });
    ASSERT_TRUE(app_->Start());
}

bool UiFixture::RunUntil(const std::function<bool()>& pred, int ms) {
    const platform::Millis deadline = clock_.Now() + platform::Millis(ms);
    QApplication::processEvents();
    while (!pred()) {
        if (clock_.Now() >= deadline) {
            return false;
        }
        app_->loop().RunUntil(pred, std::min(platform::Millis(20), deadline - clock_.Now()),
                              platform::Millis(20));
        QApplication::processEvents();
    }
    return true;
}

void UiFixture::Settle() {
    for (int i = 0; i < 3; ++i) {
        app_->loop().ProcessPending();
        QApplication::processEvents();
    }
}

std::string PictureCode(int32_t language) {
    static constexpr const char* kCodes[] = {"zh", "zh-TW", "de", "en",    "es", "fr", "it", "ja",
                                             "ko", "nl",    "pl", "pt-BR", "id", "ru", "sv"};
    static_assert(std::size(kCodes) == i18n::kLanguageCount);
    return i18n::IsLanguage(language) ? kCodes[language] : "en";
}

}  // namespace velto::ui::test
