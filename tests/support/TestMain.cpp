#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // ctest's discovery runs the binaries without the tests' environment, so
    // the headless defaults are set here as well.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    if (qEnvironmentVariableIsEmpty("TARNWICK_SOUND_BACKEND"))
        qputenv("TARNWICK_SOUND_BACKEND", "sdl");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
