// The front-end tests share one QApplication on the offscreen platform, so they need no
// display, and keep Qt's runtime folder out of the user's.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::string runtime = (std::filesystem::temp_directory_path() / "velto-ui-XXXXXX").string();
    if (mkdtemp(runtime.data()) != nullptr) {
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int result = RUN_ALL_TESTS();
    std::error_code error;
    std::filesystem::remove_all(runtime, error);
    return result;
}
