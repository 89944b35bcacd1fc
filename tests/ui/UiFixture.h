#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <string>

#include "app/Application.h"
#include "backends/sim/SimWorld.h"
#include "platform/Trace.h"
#include "platform/VirtualClock.h"
#include "support/TempDir.h"
#include "ui/QtFrontEnd.h"

namespace velto::ui::test {

// The code that the names of pictures start with (zh, zh-TW, de, en, ..., pt-BR, ...), as
// scripts/screenshots names its own; the web panels' codes (i18n::LanguageCode) differ.
std::string PictureCode(int32_t language);

// The whole program with the Qt front end on the simulated Skype client, in a sandbox
// home, on a virtual clock. Tests drive the platform loop and Qt's events by hand.
class UiFixture : public ::testing::Test {
  protected:
    UiFixture();
    ~UiFixture() override;

    // Starts the program; the world is signed in unless `signIn` is false.
    void StartApp(bool signIn = true, QtFrontEnd::Options options = {});
    // Runs the program's loop and Qt's events until `pred` holds (clock time limit).
    bool RunUntil(const std::function<bool()>& pred, int ms = 20000);
    // Qt's events and the program's queued messages, a few rounds.
    void Settle();

    QtFrontEnd& frontEnd() { return *frontEnd_; }
    ForTestDialog& mainWindow() { return *frontEnd_->mainWindow(); }

    velto::test::TempDir dir_;
    platform::VirtualClock clock_;
    platform::TraceCapture trace_;
    std::shared_ptr<skype::sim::SimWorld> world_;
    std::unique_ptr<app::Application> app_;
    QtFrontEnd* frontEnd_ = nullptr;
    platform::RecordingUrlOpener* browser_ = nullptr;
    // The microphone StartApp gives the program; null: the null input.
    std::unique_ptr<platform::SoundInput> soundInput_;
};

}  // namespace velto::ui::test
