#include "soundoutput_p.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QMediaDevices>
#include <QTimer>

#include <memory>

namespace forms {

namespace {

QAudioFormat formatOf(const ClipSamples &clip)
{
    QAudioFormat format;
    format.setSampleRate(clip.rate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

// Beyond its length, how long a clip may take to reach the speakers once it started; and how
// long a stream may take no samples (a server starting its output, or one that holds it corked).
constexpr qint64 EndMarginMilliseconds = 500;
constexpr qint64 StallMilliseconds = 2500;

qint64 playMilliseconds(const ClipSamples &clip)
{
    return clip.samples.size() / 2 * 1000 / qMax(1, clip.rate);
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
        , m_length(playMilliseconds(clip))
    {
        m_device = m_sink.start();
        connect(&m_feed, &QTimer::timeout, this, &Speaking::feed);
        m_feed.start(10);
        feed();
    }
    ~Speaking() override
    {
        m_feed.stop();
        // Dropped from the server's buffer first: closing a stream that still holds samples
        // waits until they have played.
        m_sink.reset();
    }

private:
    void feed()
    {
        if (m_sink.state() == QAudio::StoppedState)
            return m_feed.stop();
        if (m_stalled.hasExpired() || m_end.hasExpired()) {
            // A stream the server holds corked or suspended never reports that it has played:
            // the clip is over by its length once it started, or when it stops taking samples.
            m_feed.stop();
            m_sink.reset();
            return m_sink.stop();
        }
        if (m_written == m_samples.size()) {
            // Played out: give the stream back to the sound server.
            if (m_sink.state() == QAudio::IdleState)
                m_sink.stop();
            return;
        }
        const qint64 room = qMin<qint64>(m_sink.bytesFree(), m_samples.size() - m_written);
        if (room <= 0)
            return;
        if (m_written > 0 && m_end.isForever())
            m_end.setRemainingTime(m_length + EndMarginMilliseconds);
        m_written += qMax<qint64>(m_device->write(m_samples.constData() + m_written, room), 0);
        m_stalled.setRemainingTime(StallMilliseconds);
    }

    QAudioSink m_sink;
    QByteArray m_samples;
    QIODevice *m_device = nullptr;
    qsizetype m_written = 0;
    qint64 m_length;
    QDeadlineTimer m_end = QDeadlineTimer::Forever; // set once the server takes more samples
    QDeadlineTimer m_stalled {StallMilliseconds};
    QTimer m_feed;
};

class Speaker : public SoundOutput
{
public:
    void connectToServer() override { QMediaDevices::defaultAudioOutput(); }

    void say(const ClipSamples &clip) override
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

} // namespace

} // namespace forms

extern "C" Q_DECL_EXPORT forms::SoundOutput *quorbelSoundOutput()
{
    // Qt 6.8's FFmpeg backend announces its version and probes for video decoders (whose
    // libraries complain on their own) as it starts: nothing a parent should read. The cards
    // decode no video; warnings and errors still show.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.multimedia.ffmpeg*.info=false\n"
                                                    "qt.multimedia.ffmpeg*.debug=false"));
    for (const char *types :
         {"QT_FFMPEG_DECODING_HW_DEVICE_TYPES", "QT_FFMPEG_ENCODING_HW_DEVICE_TYPES"})
        if (!qEnvironmentVariableIsSet(types))
            qputenv(types, ",");
    return new forms::Speaker;
}

extern "C" Q_DECL_EXPORT void quorbelReadClip(const QByteArray &bytes, forms::ClipSamples &clip,
                                              QString &problem)
{
    problem = forms::readClip(bytes, clip);
}
