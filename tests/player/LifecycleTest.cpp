#include "AudioOutput.h"
#include "LengthScanner.h"
#include "Mp3Player.h"
#include "OpenNow.h"
#include "TestSounds.h"

#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <memory>

// Players come and go while the device, the decoders and the scanner are
// busy; under AddressSanitizer this shows any use after free or leak.
TEST(Mp3Lifecycle, TenPlayersOpenedPlayedAndClosedAHundredTimes)
{
    TestSounds sounds;
    const QString files[] = {sounds.tone(QStringLiteral("a.mp3"), 2),
        sounds.tone(QStringLiteral("b.mp3"), 2, 660, 22050, 1, {"-V", "4", "-t"})};
    qputenv("SDL_AUDIODRIVER", "dummy");
    LengthScanner lengths;
    AudioOutput output;
    for (int round = 0; round < 100; ++round) {
        std::array<std::unique_ptr<Mp3Player>, 10> players;
        for (std::size_t i = 0; i < players.size(); ++i) {
            players[i] = std::make_unique<Mp3Player>(output, lengths);
            openNow(*players[i], files[(i + std::size_t(round)) % 2]);
            if (i % 3 == 0)
                players[i]->play();
            if (i % 5 == 0)
                players[i]->pause();
        }
        if (round % 25 == 0) {
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return players[3]->currentPosition() > 0.05; }, 10000));
        }
        for (const auto& player : players)
            ASSERT_GT(player->duration(), 0);
    }
}
