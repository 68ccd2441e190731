#include "soundoutput_p.h"

#include <windows.h>

#include <mmsystem.h>

#include <utility>

namespace forms {

namespace {

// Wine's driver drops the first part of what a new device plays first, and plays only whole
// periods: a new device's first clip starts with quiet, and every clip ends with some.
constexpr int LeadInMilliseconds = 250;
constexpr int PaddingMilliseconds = 200;
// The shipped clips' rate, at which the device opens before the first card.
constexpr int ShippedRate = 22050;

QByteArray quiet(int rate, int milliseconds)
{
    return QByteArray(qsizetype(rate) * milliseconds / 1000 * 2, '\0');
}

// The cards speak through Windows' own wave output. The device stays open between cards of the
// same rate, so that a card starts without waiting for it; a new card cuts off the one before.
class Speaker : public SoundOutput
{
public:
    ~Speaker() override { close(); }

    // Opens the device, so that the first card does not wait for it.
    void connectToServer() override
    {
        if (!m_device)
            open(ShippedRate);
    }

    void say(const ClipSamples &clip) override
    {
        cutOff();
        if (clip.samples.isEmpty())
            return;
        if (m_device && m_rate != clip.rate)
            close();
        // With no output at all nobody hears it: stay silent without a word.
        if (!m_device && !open(clip.rate))
            return;
        m_samples
            = (std::exchange(m_new, false) ? quiet(clip.rate, LeadInMilliseconds) : QByteArray())
            + clip.samples + quiet(clip.rate, PaddingMilliseconds);
        m_header = {};
        m_header.lpData = m_samples.data();
        m_header.dwBufferLength = DWORD(m_samples.size());
        if (::waveOutPrepareHeader(m_device, &m_header, sizeof m_header) != MMSYSERR_NOERROR)
            return close();
        m_prepared = true;
        if (::waveOutWrite(m_device, &m_header, sizeof m_header) != MMSYSERR_NOERROR)
            close();
    }

private:
    bool open(int rate)
    {
        WAVEFORMATEX format = {};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 1;
        format.nSamplesPerSec = DWORD(rate);
        format.wBitsPerSample = 16;
        format.nBlockAlign = 2;
        format.nAvgBytesPerSec = DWORD(rate) * 2;
        if (::waveOutOpen(&m_device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL)
            != MMSYSERR_NOERROR) {
            m_device = nullptr;
            return false;
        }
        m_rate = rate;
        m_new = true;
        return true;
    }

    // Stops the card that is speaking at once and takes its samples back.
    void cutOff()
    {
        if (!m_device || !m_prepared)
            return;
        ::waveOutReset(m_device);
        ::waveOutUnprepareHeader(m_device, &m_header, sizeof m_header);
        m_prepared = false;
    }

    void close()
    {
        cutOff();
        if (m_device)
            ::waveOutClose(m_device);
        m_device = nullptr;
    }

    HWAVEOUT m_device = nullptr;
    int m_rate = 0;
    bool m_new = false; // opened, and has played nothing yet
    WAVEHDR m_header = {};
    bool m_prepared = false;
    QByteArray m_samples;
};

} // namespace

} // namespace forms

// Built into the program: a static Qt has no second copy of itself to load beside it.
extern "C" forms::SoundOutput *quorbelSoundOutput()
{
    return new forms::Speaker;
}

extern "C" void quorbelReadClip(const QByteArray &bytes, forms::ClipSamples &clip, QString &problem)
{
    problem = forms::readClip(bytes, clip);
}
