#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// MP3 files made for the tests, with the Debian `sox` and `lame` tools, in a
// temporary folder that lives as long as the object.
class TestSounds {
public:
    TestSounds();

    QString dir() const { return dir_.path(); }
    QString path(const QString& name) const { return dir_.filePath(name); }

    // A sine tone at half of full scale (sox's "vol 0.5"), encoded by lame
    // with `lameOptions`; the wav is made at `rate` Hz with `channels`.
    QString tone(const QString& name, double seconds, int hz = 440, int rate = 44100,
        int channels = 2, const QStringList& lameOptions = {"-b", "128"});
    // Raw bytes under a name of our choice.
    QString write(const QString& name, const QByteArray& bytes);

private:
    QTemporaryDir dir_;
};

// The input with an ID3v2.3 tag holding a cover picture of `pictureBytes`.
QByteArray withId3v2Picture(const QByteArray& mp3, int pictureBytes);
// Bytes of no format, the same for the same seed.
QByteArray randomBytes(qsizetype count, quint32 seed = 42);
// Runs a program; fails the current test if it does not exit with 0.
void runTool(const QString& program, const QStringList& arguments);
