#include "OpenNow.h"
#include "TestSounds.h"
#include "player/AudioOutput.h"
#include "player/LengthScanner.h"
#include "player/Mp3Player.h"

#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <memory>

// Players come and go while the device, the decoders and the scanner are
// busy; under AddressSanitizer this shows any use after free or leak.
TEST(Mp3Lifecycle, TenPlayersOpenedPlayedAndClosedAHundredTimes)
{
    TestSounds sounds;
    // Of different lengths, each told by its header, so a player that kept
    // another file's length, or its old one, is caught.
    const QString files[] = {sounds.tone(QStringLiteral("a.mp3"), 2),
        sounds.tone(QStringLiteral("b.mp3"), 3, 660, 22050, 1, {"-V", "4"})};
    const double seconds[] = {2, 3};
    const double oneFrame = 1152.0 / 44100;
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
        for (std::size_t i = 0; i < players.size(); ++i)
            ASSERT_NEAR(players[i]->duration(), seconds[(i + std::size_t(round)) % 2], oneFrame)
                << "round " << round << ", player " << i;
    }
}
