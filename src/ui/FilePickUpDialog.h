#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <string>

#include "audio/ConvertingThread.h"
#include "ui/CPictureEx.h"
#include "ui/SubMenuDialog.h"
#include "ui/WindowTarget.h"

namespace velto::ui {

// Adds one of the user's own audio files as a tone: the user browses for an MP3 or WAV,
// OK converts it on a worker (OK, Cancel and Browse wait meanwhile, the busy animation
// plays), and the dialog closes with the new catalogue item once the worker reports back.
class FilePickUpDialog final : public SubMenuDialog {
    Q_OBJECT
  public:
    enum class Purpose { RingBack, Greeting, RingTone };
    static constexpr const char* kFilter = "Mp3 Files (*.mp3);;Wave Files (*.wav)";

    FilePickUpDialog(app::Application& app, Purpose purpose, QWidget* parent = nullptr);
    ~FilePickUpDialog() override;
    // A picker opened window-modal over `parent` that deletes itself once closed.
    static FilePickUpDialog* Open(app::Application& app, Purpose purpose, QWidget* parent);

    // After OK: the catalogue item made from the file, and the file's name.
    int32_t itemId() const { return itemId_; }
    const std::u16string& sourceName() const { return sourceName_; }

    // What Browse puts into the path field.
    void SetPath(const QString& path) { path_->setText(path); }
    QString path() const { return path_->text(); }
    bool busy() const { return job_ != nullptr; }
    // Browse: the system's file dialog.
    void Browse();

  public slots:
    void accept() override;
    void reject() override;

  protected:
    void RefreshTexts() override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    platform::LResult OnMessage(uint32_t message, platform::WParam wParam, platform::LParam lParam);
    void ConversionDone();
    void SetBusy(bool busy);
    void Layout();

    const Purpose purpose_;
    QLabel* note_;
    QLineEdit* path_;
    QPushButton* browse_;
    CPictureEx* busyAnimation_;
    std::shared_ptr<audio::ConvertingThread> job_;
    int32_t itemId_ = -1;
    std::u16string sourceName_;
    WindowTarget target_;
};

}  // namespace velto::ui
