#include "player/OutputFailureText.h"

#include <gtest/gtest.h>

TEST(OutputFailureText, EachRefusalIsNamedByItsBackendOnlyWhereSeveralWereTried)
{
    using Step = OpenFailure::Step;
    EXPECT_EQ(noOutputText({}), QStringLiteral("no sound output to try"));
    EXPECT_EQ(noOutputText({{QStringLiteral("PulseAudio"),
                  {Step::Connect, QStringLiteral("Connection refused")}}}),
        QStringLiteral("no PulseAudio server answers (Connection refused)"));
    // Without a reason: PipeWire's wait ran out, SDL said nothing.
    EXPECT_EQ(noOutputText({{QStringLiteral("PipeWire"), {Step::LinkStream, {}}},
                  {QStringLiteral("SDL"), {Step::Connect, {}}}}),
        QStringLiteral("PipeWire: PipeWire did not link the stream; SDL: the sound device refused "
                       "to open"));
}
