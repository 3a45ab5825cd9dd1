#include "TestSounds.h"

#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <vector>

TestSounds::TestSounds()
{
    dir_.setAutoRemove(true);
}

// A plain fork and exec rather than QProcess, whose clone() the thread
// sanitizer cannot follow, so the player's tests also run under it.
void runTool(const QString& program, const QStringList& arguments)
{
    std::vector<QByteArray> words{program.toLocal8Bit()};
    for (const QString& argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0) << "fork failed";
    if (child == 0) {
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child) << program.toStdString();
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << program.toStdString() << " failed with status " << status;
}

QString TestSounds::tone(const QString& name, double seconds, int hz, int rate, int channels,
    const QStringList& lameOptions)
{
    const QString wav = path(name + QStringLiteral(".wav"));
    runTool(QStringLiteral("sox"),
        {"-n", "-r", QString::number(rate), "-c", QString::number(channels), "-b", "16", wav,
            "synth", QString::number(seconds), "sine", QString::number(hz), "vol", "0.5"});
    const QString mp3 = path(name);
    runTool(QStringLiteral("lame"), QStringList{"--quiet"} + lameOptions + QStringList{wav, mp3});
    QFile::remove(wav);
    return mp3;
}

QString TestSounds::write(const QString& name, const QByteArray& bytes)
{
    QFile file(path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
}

namespace {

QByteArray bigEndian(quint32 value)
{
    const char bytes[] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return QByteArray(bytes, 4);
}

QByteArray synchsafe(quint32 value)
{
    const char bytes[] = {char((value >> 21) & 0x7f), char((value >> 14) & 0x7f),
        char((value >> 7) & 0x7f), char(value & 0x7f)};
    return QByteArray(bytes, 4);
}

} // namespace

QByteArray withId3v2Picture(const QByteArray& mp3, int pictureBytes)
{
    const QByteArray picture = randomBytes(pictureBytes, 7);
    // APIC: text encoding, MIME type, picture type (front cover), empty
    // description, then the picture's bytes.
    const QByteArray body = QByteArray("\0image/jpeg\0\x03\0", 14) + picture;
    const QByteArray frame = "APIC" + bigEndian(quint32(body.size())) + QByteArray(2, '\0') + body;
    return "ID3" + QByteArray("\x03\x00\x00", 3) + synchsafe(quint32(frame.size())) + frame + mp3;
}

QByteArray randomBytes(qsizetype count, quint32 seed)
{
    QByteArray bytes(count, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}
