#include "sound_p.h"

#include <QList>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <vector>

namespace forms {

namespace {

// libsndfile reads the bytes the regular-file reader already took, so its size limit and its
// refusal of anything that is not a regular file hold for every format.
struct Bytes
{
    const QByteArray &bytes;
    sf_count_t at = 0;
};

sf_count_t length(void *data)
{
    return static_cast<Bytes *>(data)->bytes.size();
}

sf_count_t seek(sf_count_t offset, int whence, void *data)
{
    Bytes &in = *static_cast<Bytes *>(data);
    const sf_count_t from = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? in.at : in.bytes.size();
    in.at = std::clamp<sf_count_t>(from + offset, 0, in.bytes.size());
    return in.at;
}

sf_count_t read(void *to, sf_count_t count, void *data)
{
    Bytes &in = *static_cast<Bytes *>(data);
    const sf_count_t got = std::clamp<sf_count_t>(in.bytes.size() - in.at, 0, count);
    std::memcpy(to, in.bytes.constData() + in.at, static_cast<size_t>(got));
    in.at += got;
    return got;
}

sf_count_t write(const void *, sf_count_t, void *)
{
    return 0;
}

sf_count_t tell(void *data)
{
    return static_cast<Bytes *>(data)->at;
}

// A WAV file whose samples end before its header says they do.
bool headerSaysMore(SNDFILE *file)
{
    char log[4096] = {};
    sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
    for (const QByteArray &line : QByteArray(log).split('\n'))
        if (line.startsWith("data") && line.contains("should be"))
            return true;
    return false;
}

float decibels(float db)
{
    return std::pow(10.0f, db / 20.0f);
}

// Cuts the quiet before and after the word, then brings it to the shipped clips' loudness
// without clipping: a parent's recording speaks as soon and as loud as the others.
void levelAndTrim(std::vector<float> &mono, int rate, QByteArray &samples)
{
    const float peak = std::accumulate(mono.begin(), mono.end(), 0.0f, [](float most, float x) {
        return std::max(most, std::abs(x));
    });
    const float threshold = std::max(peak * decibels(-35), decibels(-60));
    const auto loud = [threshold](float x) { return std::abs(x) > threshold; };
    const auto first = std::find_if(mono.begin(), mono.end(), loud);
    const auto last = std::find_if(mono.rbegin(), mono.rend(), loud).base();
    const qsizetype lead = rate * LeadMilliseconds / 1000;
    const qsizetype tail = rate * TailMilliseconds / 1000;
    const qsizetype begin = std::max<qsizetype>(0, first - mono.begin() - lead);
    const qsizetype end = std::min<qsizetype>(qsizetype(mono.size()), last - mono.begin() + tail);

    // Loudness over the speech: 10 ms blocks within 30 dB of the loudest, so pauses between the
    // letter and its word do not count.
    const qsizetype block = std::max(1, rate / 100);
    std::vector<double> powers;
    for (qsizetype at = begin; at + block <= end; at += block) {
        double sum = 0;
        for (qsizetype i = at; i < at + block; ++i)
            sum += double(mono[size_t(i)]) * mono[size_t(i)];
        powers.push_back(sum / block);
    }
    const double loudest = powers.empty() ? 0 : *std::max_element(powers.begin(), powers.end());
    double speech = 0;
    int blocks = 0;
    for (const double power : powers)
        if (power >= loudest * 1e-3) {
            speech += power;
            ++blocks;
        }
    const double rms = blocks ? std::sqrt(speech / blocks) : peak;
    const float gain
        = std::min(decibels(LevelDecibels) / float(rms), decibels(PeakDecibels) / peak);

    samples.resize((end - begin) * 2);
    auto *out = reinterpret_cast<qint16 *>(samples.data());
    for (qsizetype i = begin; i < end; ++i)
        *out++ = qint16(std::lround(std::clamp(mono[size_t(i)] * gain, -1.0f, 1.0f) * 32767));
}

} // namespace

// Checked here rather than left to the sound server, which reports a damaged clip only later and
// only as "error": the parent who recorded a clip should read what is wrong with it.
QString readClip(const QByteArray &bytes, ClipSamples &clip)
{
    Bytes in {bytes};
    SF_VIRTUAL_IO io = {length, seek, read, write, tell};
    SF_INFO info = {};
    SNDFILE *file = sf_open_virtual(&io, SFM_READ, &info, &in);
    if (!file)
        return QStringLiteral("not a sound file that plays (WAV, FLAC, Ogg, Opus or MP3)");
    struct Closer
    {
        SNDFILE *file;
        ~Closer() { sf_close(file); }
    } closer {file};
    if (info.channels < 1 || info.samplerate < 8000 || info.samplerate > 192000)
        return QStringLiteral("not a sound format that plays");

    // At most MaxClipSeconds, mixed down to one channel as it is read.
    const sf_count_t most = sf_count_t(info.samplerate) * MaxClipSeconds;
    std::vector<float> mono;
    if (info.frames > 0 && info.frames < SF_COUNT_MAX)
        mono.reserve(size_t(std::min(info.frames + 4096, most)));
    std::vector<float> chunk(size_t(4096 * info.channels));
    sf_count_t got = 0;
    while (sf_count_t(mono.size()) < most
           && (got = sf_readf_float(file, chunk.data(),
                                    std::min<sf_count_t>(4096, most - sf_count_t(mono.size()))))
               > 0)
        for (sf_count_t frame = 0; frame < got; ++frame) {
            float sum = 0;
            for (int channel = 0; channel < info.channels; ++channel)
                sum += chunk[size_t(frame * info.channels + channel)];
            mono.push_back(sum / float(info.channels));
        }
    if (sf_error(file) != SF_ERR_NO_ERROR)
        return QStringLiteral("the sound is damaged (%1)")
            .arg(QString::fromUtf8(sf_strerror(file)));
    // MP3 gives only an estimate of its length, within a few per cent.
    const sf_count_t expected
        = info.frames > 0 && info.frames < SF_COUNT_MAX ? std::min(info.frames, most) : 0;
    if (headerSaysMore(file) || sf_count_t(mono.size()) + expected / 20 < expected)
        return QStringLiteral("the file is cut off");
    const bool silent = std::none_of(mono.begin(), mono.end(),
                                     [](float x) { return std::abs(x) > decibels(-60); });
    if (mono.empty() || silent)
        return mono.empty() ? QStringLiteral("no samples") : QStringLiteral("no sound in it");
    clip.rate = info.samplerate;
    levelAndTrim(mono, info.samplerate, clip.samples);
    return {};
}

} // namespace forms
