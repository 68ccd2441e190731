#include "sound.h"
#include "sound_p.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <utility>

namespace forms {

namespace {

QString readProblem(const QString &path, ClipSamples &clip)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("file not found");
    // A FIFO or a device named like a clip must not block the lesson.
    if (!info.isFile())
        return QStringLiteral("not a sound file");
    if (info.size() > MaxClipFileBytes)
        return QStringLiteral("file too large");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    return readClip(file.read(MaxClipFileBytes), clip);
}

QAudioFormat formatOf(const ClipSamples &clip)
{
    QAudioFormat format;
    format.setSampleRate(clip.rate);
    format.setChannelCount(clip.channels);
    format.setSampleFormat(clip.bits == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    return format;
}

// One card speaking: an output stream of its own that is handed the clip's samples as the sound
// server asks for them. Qt 6.4's streams that pull their samples themselves (and so its sound
// effects) may stall after their first milliseconds.
class Speaking : public QObject
{
public:
    Speaking(const QAudioDevice &output, const ClipSamples &clip)
        : m_sink(output, formatOf(clip))
        , m_samples(clip.samples)
    {
        m_device = m_sink.start();
        connect(&m_feed, &QTimer::timeout, this, &Speaking::feed);
        m_feed.start(10);
        feed();
    }
    ~Speaking() override
    {
        // Dropped from the server's buffer first: closing a stream that still holds samples
        // waits until they have played.
        m_sink.reset();
    }

private:
    void feed()
    {
        if (m_sink.state() == QAudio::StoppedState)
            return m_feed.stop();
        if (m_written == m_samples.size()) {
            // Played out: give the stream back to the sound server.
            if (m_sink.state() == QAudio::IdleState)
                m_sink.stop();
            return;
        }
        const qint64 room = qMin<qint64>(m_sink.bytesFree(), m_samples.size() - m_written);
        if (room > 0)
            m_written += qMax<qint64>(m_device->write(m_samples.constData() + m_written, room), 0);
    }

    QAudioSink m_sink;
    QByteArray m_samples;
    QIODevice *m_device = nullptr;
    qsizetype m_written = 0;
    QTimer m_feed;
};

// Lives on a thread of its own, so that talking to the sound server never holds up a key.
class Speaker : public QObject
{
public:
    // samples empty: only cut off the card before.
    void say(const ClipSamples &clip)
    {
        m_speaking.reset();
        const QAudioDevice output = QMediaDevices::defaultAudioOutput();
        // With no output at all nobody hears it: stay silent without a word.
        if (!clip.samples.isEmpty() && !output.isNull())
            m_speaking = std::make_unique<Speaking>(output, clip);
    }

private:
    std::unique_ptr<Speaking> m_speaking;
};

class SoundBank
{
public:
    SoundBank()
    {
        m_thread.setObjectName(QStringLiteral("sound"));
        m_speaker->moveToThread(&m_thread);
        m_thread.start();
    }
    ~SoundBank()
    {
        QMetaObject::invokeMethod(
            m_speaker, [this] { delete m_speaker; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    void play(const QString &path)
    {
        const ClipSamples *clip = load(path);
        const quint64 request = ++m_requests;
        QMetaObject::invokeMethod(m_speaker, [this, request, clip = clip ? *clip : ClipSamples()] {
            // A newer card already waits: it cuts this one off before it is heard.
            if (request == m_requests)
                m_speaker->say(clip);
        });
    }

    const ClipSamples *load(const QString &path)
    {
        if (const auto found = m_clips.find(path); found != m_clips.end())
            return &found->second;
        if (m_silent.count(path))
            return nullptr;
        ClipSamples clip;
        if (const QString problem = readProblem(path, clip); !problem.isEmpty()) {
            m_silent.insert(path);
            std::fprintf(stderr, "%s: %s: %s; the card stays silent\n",
                         qPrintable(QCoreApplication::applicationName()), qPrintable(path),
                         qPrintable(problem));
            std::fflush(stderr);
            return nullptr;
        }
        return &m_clips.emplace(path, std::move(clip)).first->second;
    }

    void connectToServer()
    {
        QMetaObject::invokeMethod(m_speaker, [] { QMediaDevices::defaultAudioOutput(); });
    }

private:
    std::map<QString, ClipSamples> m_clips;
    std::set<QString> m_silent;
    QThread m_thread;
    Speaker *m_speaker = new Speaker;
    std::atomic<quint64> m_requests = 0;
};

std::unique_ptr<SoundBank> &theBank()
{
    static std::unique_ptr<SoundBank> bank;
    return bank;
}

// Made on first use, after the first window is up: reading the clips and connecting to the sound
// server must not hold up the start. Gone before the application, while Qt Multimedia works.
SoundBank &bank()
{
    if (!theBank()) {
        theBank() = std::make_unique<SoundBank>();
        qAddPostRoutine([] { theBank().reset(); });
    }
    return *theBank();
}

SoundPlayer &player()
{
    static SoundPlayer thePlayer;
    return thePlayer;
}

} // namespace

void PlaySound(const QString &path)
{
    if (const SoundPlayer &replaced = player())
        replaced(path);
    else
        bank().play(path);
}

SoundPlayer setSoundPlayer(SoundPlayer play)
{
    return std::exchange(player(), std::move(play));
}

void setSoundIdentity(const QString &name, const QString &iconName)
{
    // Read by the sound server's client library when Qt connects; without them the desktop
    // lists the program under a process number and forgets its volume at the next start.
    qputenv("PULSE_PROP_OVERRIDE_application.name", name.toUtf8());
    qputenv("PULSE_PROP_OVERRIDE_application.icon_name", iconName.toUtf8());
    qputenv("PULSE_PROP_OVERRIDE_application.id", iconName.toUtf8());
}

void preloadSounds(const QString &folder)
{
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name))
        bank().load(dir.filePath(name));
    bank().connectToServer();
}

} // namespace forms
