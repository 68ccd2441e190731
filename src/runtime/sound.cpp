#include "sound.h"
#include "sound_p.h"

#include "regularfile_p.h"
#include "runtimeerror.h"
#include "soundoutput_p.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QThread>

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
    try {
        const QString problem = readClip(readRegularFile(path, MaxClipFileBytes, "sound"), clip);
        return problem.isEmpty() ? problem : QStringLiteral("%1: %2").arg(problem, path);
    } catch (const RuntimeError &error) {
        return error.description();
    }
}

void warn(const QString &what)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(what));
    std::fflush(stderr);
}

// Talks to the sound server on a thread of its own, so that no key waits for it.
class SoundBank
{
public:
    SoundBank()
    {
        m_thread.setObjectName(QStringLiteral("sound"));
        m_worker.moveToThread(&m_thread);
        m_thread.start();
    }
    ~SoundBank()
    {
        QMetaObject::invokeMethod(
            &m_worker, [this] { m_output.reset(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    void play(const QString &path)
    {
        const ClipSamples *clip = load(path);
        const quint64 request = ++m_requests;
        QMetaObject::invokeMethod(&m_worker, [this, request, clip = clip ? *clip : ClipSamples()] {
            // A newer card already waits: it cuts this one off before it is heard.
            if (request == m_requests)
                if (SoundOutput *out = output())
                    out->say(clip);
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
            warn(QStringLiteral("%1; the card stays silent").arg(problem));
            return nullptr;
        }
        return &m_clips.emplace(path, std::move(clip)).first->second;
    }

    void connectToServer()
    {
        QMetaObject::invokeMethod(&m_worker, [this] {
            if (SoundOutput *out = output())
                out->connectToServer();
        });
    }

private:
    // On the sound thread: the module beside the program, loaded on first use.
    SoundOutput *output()
    {
        if (m_output || m_tried)
            return m_output.get();
        m_tried = true;
        QLibrary module(QCoreApplication::applicationDirPath() + QStringLiteral("/quorbel-sound"));
        const auto create = reinterpret_cast<SoundOutputFactory>(module.resolve(SoundModuleEntry));
        if (create)
            m_output.reset(create());
        else
            warn(QStringLiteral("no sound: %1").arg(module.errorString()));
        return m_output.get();
    }

    std::map<QString, ClipSamples> m_clips;
    std::set<QString> m_silent;
    QThread m_thread;
    QObject m_worker;
    std::unique_ptr<SoundOutput> m_output;
    bool m_tried = false;
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
