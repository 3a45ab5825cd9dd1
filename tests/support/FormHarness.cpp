#include "FormHarness.h"

#include <QPushButton>
#include <QTest>

FormHarness::FormHarness(Start start)
{
    services_ = std::make_unique<PlatformServices>(PlatformServices{
        clock,
        messageBox,
        inputBox,
        programExit,
        [this](int slot) {
            auto player = std::make_unique<FakeMediaPlayer>(slot, journal);
            players_[std::size_t(slot)] = player.get();
            return player;
        },
        [this](int slot) {
            auto dialog = std::make_unique<FakeFileDialog>();
            dialogs_[std::size_t(slot)] = dialog.get();
            return dialog;
        },
    });
    form_ = std::make_unique<Form1>(*services_);
    if (start == Start::Loaded)
        form_->Form_Load();
    form_->show();
}

FormHarness::~FormHarness() = default;

void FormHarness::click(QPushButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}
