#include "model/BaseName.h"

#include <gtest/gtest.h>

TEST(baseName, DropsDirectoriesAndTheLastExtension)
{
    const struct {
        QString path;
        QString base;
    } cases[] = {
        {QStringLiteral("C:\\sound\\song.mp3"), QStringLiteral("song")},
        {QStringLiteral("a.b.mp3"), QStringLiteral("a.b")},
        {QStringLiteral("C:\\sound\\a.b.mp3"), QStringLiteral("a.b")},
        {QStringLiteral("song.mp3"), QStringLiteral("song")},
        {QStringLiteral("C:\\sound\\readme"), QStringLiteral("readme")},
        {QStringLiteral("C:\\my.dir\\readme"), QStringLiteral("readme")},
        {QStringLiteral("/home/op/a.b.mp3"), QStringLiteral("a.b")},
        {QStringLiteral("/home/op/my.dir/readme"), QStringLiteral("readme")},
        {QStringLiteral("/home/op/song.mp3"), QStringLiteral("song")},
        {QStringLiteral("/home/op\\mixed/sub\\bell.mp3"), QStringLiteral("bell")},
        {QStringLiteral("/home/op/铃声/课间 铃.mp3"), QStringLiteral("课间 铃")},
        {QStringLiteral("D:\\音乐\\上课铃.MP3"), QStringLiteral("上课铃")},
        {QStringLiteral("/home/op/ spaced .mp3"), QStringLiteral(" spaced ")},
        {QStringLiteral("/home/op/Song.Mp3"), QStringLiteral("Song")},
        {QStringLiteral("/home/op/.mp3"), QString()},
        {QStringLiteral("/home/op/"), QString()},
        {QString(), QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(baseName(c.path), c.base);
    }
}
