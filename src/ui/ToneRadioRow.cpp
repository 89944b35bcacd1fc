#include "ui/ToneRadioRow.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace velto::ui {

CxSkinButton* AddToneRadioRow(QGridLayout& grid, int row, QButtonGroup& group, int radioId,
                              SoundPreview& preview, int playId,
                              const std::function<void(int)>& press) {
    QWidget* parent = grid.parentWidget();
    auto* radio = new QRadioButton(parent);
    group.addButton(radio, radioId);
    grid.addWidget(radio, row, 0);
    CxSkinButton* play = preview.AddButton(parent, playId);
    grid.addWidget(play, row, 1);
    QObject::connect(play, &QAbstractButton::clicked, play, [press, playId] { press(playId); });
    return play;
}

}  // namespace velto::ui
