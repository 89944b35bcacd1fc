// Picture-only controls say what they do to screen readers, in the user's language; the
// options' page icons stay visible on a dark palette.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QToolButton>
#include <cmath>
#include <string>
#include <vector>

#include "Contrast.h"
#include "UiFixture.h"
#include "i18n/Languages.h"
#include "ui/AnsweringPanelWindow.h"
#include "ui/Artwork.h"
#include "ui/CSXButton.h"
#include "ui/Colours.h"
#include "ui/CxSkinButton.h"
#include "ui/DarkOutlineStyle.h"
#include "ui/MissedCallDialog.h"
#include "ui/OptionDialog.h"
#include "ui/QtAnsweringPanels.h"
#include "ui/Texts.h"

namespace velto::ui::test {
namespace {

using skype::OnlineStatus;

constexpr int32_t kRussian = 13;

// The buttons (push, tool and skinned ones) a user can see under `root` that show no text
// and have no accessible name: a screen reader has nothing to say for them.
std::vector<std::string> Unnamed(QWidget* root, int& looked) {
    std::vector<std::string> unnamed;
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        const bool plain = qobject_cast<QPushButton*>(button) != nullptr ||
                           qobject_cast<QToolButton*>(button) != nullptr ||
                           qobject_cast<CxSkinButton*>(button) != nullptr;
        if (!plain || !button->isVisible()) {
            continue;
        }
        ++looked;
        if (button->text().trimmed().isEmpty() && button->accessibleName().trimmed().isEmpty()) {
            unnamed.push_back(button->metaObject()->className() + std::string(" '") +
                              button->objectName().toStdString() + "' at " +
                              std::to_string(button->x()) + "," + std::to_string(button->y()));
        }
    }
    return unnamed;
}

// The share of an icon's solid pixels that hardly stand out from `behind`.
double FaintShare(const QPixmap& icon, const QColor& behind) {
    const QImage image = icon.toImage().convertToFormat(QImage::Format_ARGB32);
    int solid = 0;
    int faint = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() < 200) {
                continue;
            }
            ++solid;
            faint += Contrast(pixel, behind) < 2.0 ? 1 : 0;
        }
    }
    return solid == 0 ? 1.0 : static_cast<double>(faint) / solid;
}

class AccessibilityTest : public UiFixture {};

// The main window, every options page, the missed-call list (with a message row and a
// stranger's "add") and a ringing call's panel, in English and Russian.
TEST_F(AccessibilityTest, EveryPictureButtonHasANameInTheUsersLanguage) {
    world_->AddContact({"bob", "Bob Baker", "Bob", OnlineStatus::Online});
    StartApp();
    calls::MissedCallList& missed = app_->missedCalls();
    missed.Add({"bob", "2026/12/01 10:00:00", false, u""});
    missed.Add({"bob", "2026/12/01 10:05:00", true, (dir_ / "message.wav").u16string()});
    missed.Add({"stranger", "2026/12/01 10:20:00", false, u""});
    QtAnsweringPanels panels;
    int looked = 0;
    for (const int32_t language : {i18n::kEnglish, kRussian}) {
        SCOPED_TRACE(i18n::LanguageCode(language));
        app_->state().CurrentLanguage = language;
        mainWindow().Refresh();
        mainWindow().show();
        Settle();
        for (const std::string& button : Unnamed(&mainWindow(), looked)) {
            ADD_FAILURE() << "main window: " << button;
        }
        OptionDialog options(*app_);
        options.show();
        for (int page :
             {OptionDialog::kGeneral, OptionDialog::kStandardRingBack, OptionDialog::kRingTone,
              OptionDialog::kVoiceMail, OptionDialog::kRules, OptionDialog::kAbout}) {
            options.pageButton(page)->click();
            Settle();
            for (const std::string& button : Unnamed(&options, looked)) {
                ADD_FAILURE() << "options page " << page << ": " << button;
            }
        }
        MissedCallDialog list(*app_);
        list.show();
        Settle();
        for (const std::string& button : Unnamed(&list, looked)) {
            ADD_FAILURE() << "missed calls: " << button;
        }
        panels.SetLanguage([language] { return language; });
        auto panel =
            panels.Create({.callId = 1, .partnerHandle = "bob", .text = "Bob", .wake = {}});
        panel->Show();
        QApplication::processEvents();
        ASSERT_EQ(panels.ShownWindows().size(), 1u);
        AnsweringPanelWindow* window = panels.ShownWindows()[0];
        for (const std::string& button : Unnamed(window, looked)) {
            ADD_FAILURE() << "answering panel: " << button;
        }
        // The names are the language's own, not English left behind.
        EXPECT_EQ(window->takeButton()->accessibleName(), Text(i18n::TXT_TAKE_CALL, language));
        panel->Hide();
        panel.reset();
        QApplication::processEvents();
    }
    // Both windows' close, minimise, missed-call and options buttons, the page column, OK
    // and Cancel, the list's row buttons, the panel's two: well over thirty a language.
    EXPECT_GE(looked, 2 * 30);
    // Russian names differ from the English ones: the window follows the language.
    EXPECT_NE(Text(i18n::TXT_WINDOW_CLOSE, kRussian), Text(i18n::TXT_WINDOW_CLOSE, i18n::kEnglish));
}

// On a dark palette the page column's grey artwork (Voice Mail, Rules) takes the text's
// light colour; on a light one every icon is the artwork as drawn.
TEST_F(AccessibilityTest, PageIconsStandOutOnADarkPalette) {
    StartApp();
    const QPalette before = QApplication::palette();
    for (const bool dark : {false, true}) {
        QApplication::setPalette(dark ? DarkPalette() : before);
        OptionDialog options(*app_);
        options.show();
        Settle();
        for (const auto& [page, artwork] : {std::pair{OptionDialog::kVoiceMail, "page_voicemail"},
                                            std::pair{OptionDialog::kRules, "page_rules"},
                                            std::pair{OptionDialog::kAbout, "page_about"}}) {
            SCOPED_TRACE(std::string(artwork) + (dark ? " dark" : " light"));
            CSXButton* button = options.pageButton(page);
            ASSERT_NE(button, nullptr);
            const QPixmap icon = button->icon().pixmap(button->iconSize());
            const QColor behind = button->palette().color(QPalette::Button);
            // Most of the picture is ink that stands out (the light palette's grey face
            // behind the light artwork's coloured parts is no worse than this either).
            EXPECT_LT(FaintShare(icon, behind), 0.25);
            if (!dark) {
                const QImage drawn =
                    ArtworkPixmap(QString::fromLatin1(artwork), button->iconSize()).toImage();
                EXPECT_EQ(icon.toImage().convertToFormat(drawn.format()), drawn);
            }
        }
    }
    QApplication::setPalette(before);
}

// The strongest contrast of the indicator's pixels of `button` against the colour behind it.
double IndicatorContrast(QAbstractButton& button, bool radio) {
    button.resize(button.sizeHint());
    const QImage image = button.grab().toImage();
    QStyleOptionButton option;
    option.initFrom(&button);
    const QRect indicator = button.style()->subElementRect(
        radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, &button);
    const QColor behind = button.palette().color(QPalette::Window);
    double strongest = 1.0;
    for (int y = indicator.top(); y <= indicator.bottom(); ++y) {
        for (int x = indicator.left(); x <= indicator.right(); ++x) {
            strongest = std::max(strongest, Contrast(image.pixelColor(x, y), behind));
        }
    }
    return strongest;
}

// An unticked choice must be seen to be chosen: on a dark palette its frame stands out as
// much as controls must (3:1), and a light palette gets Qt's own drawing untouched.
TEST_F(AccessibilityTest, UntickedChoicesStandOutOnADarkPalette) {
    StartApp();
    const auto* style = qobject_cast<DarkOutlineStyle*>(QApplication::style());
    if (style == nullptr) {
        ASSERT_NE(QApplication::style()->name(), QStringLiteral("fusion"));
        GTEST_SKIP() << "the outline is drawn over Fusion only";
    }
    ASSERT_EQ(style->baseStyle()->name(), QStringLiteral("fusion"));
    for (const bool radio : {true, false}) {
        SCOPED_TRACE(radio ? "radio" : "check box");
        const auto make = [radio]() -> std::unique_ptr<QAbstractButton> {
            if (radio) {
                return std::make_unique<QRadioButton>(QStringLiteral("Choose a tone"));
            }
            return std::make_unique<QCheckBox>(QStringLiteral("Start with the desktop"));
        };
        auto dark = make();
        dark->setPalette(DarkPalette());
        EXPECT_GE(IndicatorContrast(*dark, radio), 3.0);

        auto light = make();
        auto plain = make();
        std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
        plain->setStyle(fusion.get());
        plain->resize(light->sizeHint());
        light->resize(light->sizeHint());
        EXPECT_EQ(light->grab().toImage(), plain->grab().toImage());
    }
    // An empty text field shows where it is: its frame, against the window around it.
    QLineEdit field;
    field.setPalette(DarkPalette());
    field.resize(200, field.sizeHint().height());
    const QImage image = field.grab().toImage();
    const QColor behind = field.palette().color(QPalette::Window);
    double strongest = 1.0;
    for (int x = 4; x < image.width() - 4; ++x) {
        strongest = std::max({strongest, Contrast(image.pixelColor(x, 0), behind),
                              Contrast(image.pixelColor(x, image.height() - 1), behind)});
    }
    EXPECT_GE(strongest, 3.0);
}

}  // namespace
}  // namespace velto::ui::test
