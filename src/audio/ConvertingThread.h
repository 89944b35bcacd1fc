#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "core/Messages.h"
#include "core/SharedState.h"
#include "platform/WindowManager.h"
#include "platform/Workers.h"

namespace velto::audio {

// Sent to the window given to a ConvertingThread when its job is over, on the owner
// thread after the tone has been entered. First parameter: 0 when the tone was made, 1
// when it was not; second parameter 0.
constexpr uint32_t WM_CONVERSION_DONE = core::WM_USER + 0x801;  // 0x0C01
constexpr platform::WParam kConversionSucceeded = 0;
constexpr platform::WParam kConversionFailed = 1;

// Enters a finished tone into the user's tone catalogue: (title, file path) -> item id.
using AddToneFunction =
    std::function<int32_t(const std::u16string& title, const std::u16string& path)>;

struct ConvertingContext {
    platform::WindowManager& windows;
    // The loop of the thread that owns the settings and the window: the finished job is
    // handed there, and addTone and the message run on it.
    platform::MessageLoop& owner;
    core::SharedState& state;          // UserDataDir and MyHandle name the tone folder
    std::filesystem::path tempFolder;  // the system's temporary folder
    AddToneFunction addTone;           // optional
};

// The background job that turns a file the user picked (MP3 or WAV) into a tone file in the
// user's "RingTone" folder. The worker only makes the file; the owner thread enters it and
// tells the window, which reads the result while it handles the message. A job whose
// owner loop has quit removes its tone again, and one stopped by shut-down makes none.
class ConvertingThread : public std::enable_shared_from_this<ConvertingThread> {
  public:
    // Starts the job; the object lives until the job has ended and nobody holds it.
    static std::shared_ptr<ConvertingThread> Start(platform::Workers& workers,
                                                   ConvertingContext context,
                                                   std::u16string sourcePath,
                                                   platform::WindowHandle notifyWindow);

    ConvertingThread(ConvertingContext context, std::u16string sourcePath,
                     platform::WindowHandle notifyWindow);

    // Makes the tone on the calling thread and hands the result to the owner loop.
    void Run(const platform::StopSignal& stop);

    // Filled before the message is sent.
    std::u16string ResultPath() const;
    std::u16string SourceName() const;
    bool Succeeded() const;
    // The catalogue id the tone was entered under, -1 when it was not.
    int32_t ItemId() const;

  private:
    // Makes the tone; on success the finished tone's path, else empty.
    std::filesystem::path MakeToneFile(const std::filesystem::path& source, bool isMp3,
                                       const platform::StopSignal& stop);
    // On the owner thread: enters the tone and tells the window.
    void Finish(const std::u16string& sourceName, const std::filesystem::path& tone);

    ConvertingContext context_;
    const std::u16string sourcePath_;
    const platform::WindowHandle notifyWindow_;

    mutable std::mutex mutex_;
    std::u16string resultPath_;
    std::u16string sourceName_;
    bool succeeded_ = false;
    int32_t itemId_ = -1;
};

}  // namespace velto::audio
