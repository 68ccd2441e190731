#include "sound.h"
#include "sound_p.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <utility>

namespace forms {

namespace {

QString readProblem(const QString &path)
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
    return clipProblem(file.read(MaxClipFileBytes));
}

// One effect per clip: one effect given a new source plays a stretch of the old clip first.
class SoundBank : public QObject
{
public:
    SoundBank()
    {
        // An output that comes or goes (the sound server restarted, headphones plugged in)
        // leaves the effects bound to the old one: build them again for the new default.
        connect(&m_devices, &QMediaDevices::audioOutputsChanged, this, &SoundBank::rebuild);
    }

    void play(const QString &path)
    {
        QSoundEffect *effect = load(path);
        if (m_playing)
            m_playing->stop();
        m_playing = effect;
        if (effect)
            effect->play();
    }

    // The effect of a clip that is sound and has an output to play on, else nullptr.
    QSoundEffect *load(const QString &path)
    {
        if (!m_clips.count(path)) {
            if (m_silent.count(path))
                return nullptr;
            if (const QString problem = readProblem(path); !problem.isEmpty()) {
                reportSilent(path, problem);
                return nullptr;
            }
            m_clips.insert(path);
        }
        // With no output at all nobody hears it: stay silent without a word.
        if (m_devices.audioOutputs().isEmpty())
            return nullptr;
        if (const auto found = m_effects.find(path); found != m_effects.end())
            return found->second.get();
        auto effect = std::make_unique<QSoundEffect>(QMediaDevices::defaultAudioOutput());
        QSoundEffect *raw = effect.get();
        connect(raw, &QSoundEffect::statusChanged, this, [this, raw, path] {
            if (raw->status() == QSoundEffect::Error)
                reportSilent(path, QStringLiteral("the clip does not decode"));
        });
        raw->setSource(QUrl::fromLocalFile(path));
        return m_effects.emplace(path, std::move(effect)).first->second.get();
    }

private:
    void reportSilent(const QString &path, const QString &problem)
    {
        if (!m_silent.insert(path).second)
            return;
        std::fprintf(stderr, "%s: %s: %s; the card stays silent\n",
                     qPrintable(QCoreApplication::applicationName()), qPrintable(path),
                     qPrintable(problem));
        std::fflush(stderr);
    }

    void rebuild()
    {
        m_playing = nullptr;
        m_effects.clear();
        for (const QString &path : m_clips)
            load(path);
    }

    QMediaDevices m_devices;
    std::map<QString, std::unique_ptr<QSoundEffect>> m_effects;
    std::set<QString> m_clips; // sound clips, whether or not there is an output to play them on
    std::set<QString> m_silent;
    QSoundEffect *m_playing = nullptr;
};

std::unique_ptr<SoundBank> &theBank()
{
    static std::unique_ptr<SoundBank> bank;
    return bank;
}

// Made on first use, after the first window is up: connecting to the sound server must not hold
// up the start. Gone before the application, while Qt Multimedia still works.
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
}

} // namespace forms
