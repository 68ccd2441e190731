#include "sound.h"
#include "sound_p.h"

#include <QtEndian>

namespace forms {

namespace {

quint32 le32(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 le16(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

} // namespace

// Checked here rather than left to the decoder, which reports a damaged clip only later and
// only as "error": the parent who replaced a clip should read what is wrong with it.
QString clipProblem(const QByteArray &bytes)
{
    ClipSamples clip;
    return readClip(bytes, clip);
}

QString readClip(const QByteArray &bytes, ClipSamples &clip)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return QStringLiteral("not a WAV file");
    bool haveFormat = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const qint64 size = le32(bytes, at + 4);
        const qsizetype body = at + 8;
        if (id == "fmt ") {
            if (size < 16 || body + 16 > bytes.size())
                return QStringLiteral("the WAV format is cut off");
            const quint16 tag = le16(bytes, body);
            const quint16 channels = le16(bytes, body + 2);
            const quint32 rate = le32(bytes, body + 4);
            const quint16 bits = le16(bytes, body + 14);
            if (tag != 1 || (bits != 8 && bits != 16))
                return QStringLiteral("not 8- or 16-bit PCM");
            if (channels < 1 || channels > 2 || rate < 8000 || rate > 192000)
                return QStringLiteral("not a sound format that plays");
            clip.rate = int(rate);
            clip.channels = channels;
            clip.bits = bits;
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return QStringLiteral("no WAV format before the samples");
            if (size == 0 || body + size > bytes.size())
                return size == 0 ? QStringLiteral("no samples")
                                 : QStringLiteral("the file is cut off");
            clip.samples = bytes.mid(body, size - size % (clip.channels * clip.bits / 8));
            return {};
        }
        at = body + size + (size & 1);
    }
    return haveFormat ? QStringLiteral("no samples") : QStringLiteral("no WAV format");
}

} // namespace forms
