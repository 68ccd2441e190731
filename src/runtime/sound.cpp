#include "sound.h"
#include "sound_p.h"

#include "application.h"
#include "regularfile_p.h"
#include "runtimeerror.h"
#include "soundmodule_p.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>
#include <QThread>
#include <QWaitCondition>

#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <utility>

namespace forms {

namespace {

QString readProblem(ClipReader read, const QString &path, ClipSamples &clip)
{
    try {
        QString problem;
        read(readRegularFile(path, MaxClipFileBytes, "sound"), clip, problem);
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

// Talks to the sound server on a thread of its own, so that no key waits for it. The window's
// thread only writes the latest card asked for into one slot and wakes the sound thread, which
// reads the slot: a card asked for meanwhile replaces the one before, so cards are never queued
// and never reordered. Qt Multimedia runs nested event loops (a stream's destructor processes
// events): a wake delivered inside one only marks work pending for the turn below it, so the
// output is never used twice at once nor destroyed while in use.
class SoundBank
{
public:
    SoundBank()
    {
        m_thread.setObjectName(QStringLiteral("sound"));
        m_worker.moveToThread(&m_thread);
        m_thread.start();
    }

    void play(const QString &path)
    {
        {
            const QMutexLocker lock(&m_mutex);
            m_wanted = path;
            ++m_asked;
        }
        wake();
    }

    void preload(const QStringList &paths)
    {
        {
            const QMutexLocker lock(&m_mutex);
            m_preload += paths;
        }
        wake();
    }

    // Asks the sound thread to let go of the sound server and end; false when it has not ended
    // by the deadline (stuck in a sound server that does not answer).
    bool stop(QDeadlineTimer deadline)
    {
        {
            const QMutexLocker lock(&m_mutex);
            m_quit = true;
        }
        wake();
        return m_thread.wait(deadline);
    }

    bool settle(QDeadlineTimer deadline)
    {
        const QMutexLocker lock(&m_mutex);
        while (m_handled < m_asked)
            if (!m_settled.wait(&m_mutex, deadline))
                return false;
        return true;
    }

private:
    void wake()
    {
        if (!m_wakePosted.exchange(true))
            QMetaObject::invokeMethod(&m_worker, [this] { serve(); });
    }

    // On the sound thread.
    void serve()
    {
        m_wakePosted = false;
        if (m_serving) {
            m_pending = true; // nested: the turn below reads the slot once it is back
            return;
        }
        m_serving = true;
        bool more = false;
        do {
            m_pending = false;
            std::optional<QString> wanted;
            QString preload;
            bool connect = false;
            quint64 asked = 0;
            bool quitting = false;
            {
                const QMutexLocker lock(&m_mutex);
                quitting = m_quit;
                wanted = std::exchange(m_wanted, std::nullopt);
                if (!wanted && !m_preload.isEmpty()) {
                    connect = !std::exchange(m_connected, true);
                    if (!connect)
                        preload = m_preload.takeFirst();
                    more = !m_preload.isEmpty();
                }
                asked = m_asked;
            }
            if (quitting)
                return quit(); // not under the lock: the window's thread never waits on it
            if (wanted) {
                const ClipSamples *clip = load(*wanted);
                if (SoundOutput *out = output())
                    out->say(clip ? *clip : ClipSamples());
            } else if (connect) {
                if (SoundOutput *out = output())
                    out->connectToServer();
            } else if (!preload.isEmpty()) {
                load(preload);
                // Decoding left freed buffers in this thread's heap: give them back.
                if (!more)
                    trimFreedMemory();
            }
            const QMutexLocker lock(&m_mutex);
            m_handled = asked;
            m_settled.wakeAll();
        } while (m_pending);
        m_serving = false;
        if (more)
            wake(); // the next clip after the events that wait: one clip a turn
    }

    void quit()
    {
        // Still serving: nothing nested in the output's destructor reaches it again.
        m_output.reset();
        m_clips.clear();
        m_thread.quit();
    }

    const ClipSamples *load(const QString &path)
    {
        if (const auto found = m_clips.find(path); found != m_clips.end())
            return &found->second;
        if (m_silent.count(path) || !loadModule())
            return nullptr;
        ClipSamples clip;
        if (const QString problem = readProblem(m_read, path, clip); !problem.isEmpty()) {
            m_silent.insert(path);
            warn(QStringLiteral("%1; the card stays silent").arg(problem));
            return nullptr;
        }
        return &m_clips.emplace(path, std::move(clip)).first->second;
    }

    // The output and the clip reader, loaded on first use.
    bool loadModule()
    {
        if (m_output || std::exchange(m_tried, true))
            return bool(m_output);
        const SoundModule module = loadSoundModule();
        m_read = module.read;
        if (module.create && module.read)
            m_output.reset(module.create());
        else
            warn(QStringLiteral("no sound: %1").arg(module.problem));
        return bool(m_output);
    }

    SoundOutput *output() { return loadModule() ? m_output.get() : nullptr; }

    // Shared between the threads.
    QMutex m_mutex;
    QWaitCondition m_settled;
    std::optional<QString> m_wanted;
    QStringList m_preload;
    quint64 m_asked = 0;
    quint64 m_handled = 0;
    bool m_quit = false;
    bool m_connected = false;
    std::atomic<bool> m_wakePosted = false;

    // The sound thread's own.
    std::map<QString, ClipSamples> m_clips;
    std::set<QString> m_silent;
    std::unique_ptr<SoundOutput> m_output;
    ClipReader m_read = nullptr;
    bool m_tried = false;
    bool m_serving = false;
    bool m_pending = false;

    QThread m_thread;
    QObject m_worker;
};

struct Bank
{
    std::unique_ptr<SoundBank> bank;
    bool over = false;
    SoundBank *leftBehind = nullptr; // kept reachable: its thread may still use it
};

Bank &theBank()
{
    static Bank bank;
    return bank;
}

// Made on first use, after the first window is up: reading the clips and connecting to the sound
// server must not hold up the start. Ended before the application, while Qt Multimedia works;
// a sound server that does not answer does not hold up the end: its thread is left behind.
SoundBank *bank()
{
    Bank &b = theBank();
    if (!b.bank && !b.over) {
        b.bank = std::make_unique<SoundBank>();
        qAddPostRoutine([] {
            Bank &b = theBank();
            b.over = true;
            if (!b.bank->stop(QDeadlineTimer(ShutdownMilliseconds)))
                b.leftBehind = b.bank.release();
            b.bank.reset();
        });
    }
    return b.bank.get();
}

constexpr const char *ClipExtensions[] = {".wav", ".flac", ".ogg", ".opus", ".mp3"};

// The user's folder first, then the program's; each ends with a separator.
QStringList clipFolders()
{
    const ProjectDescription &project = installedProject();
    const QString sounds = QString::fromUtf8(*project.soundFolder ? project.soundFolder : "sounds");
    QStringList folders;
    if (*project.dataFolder)
        folders << QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u'/'
                + QString::fromUtf8(project.dataFolder) + u'/' + sounds + u'/';
    return folders << App::Path() + u'/' + sounds + u'/';
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
    else if (SoundBank *sounds = bank())
        sounds->play(path);
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

void PlayClip(const QString &name)
{
    PlaySound(clipFile(name));
}

QString clipFile(const QString &name)
{
    const QString base = QFileInfo(name).completeBaseName();
    const QStringList folders = clipFolders();
    for (const QString &folder : folders)
        for (const char *extension : ClipExtensions)
            if (const QString path = folder + base + QLatin1String(extension);
                QFileInfo::exists(path))
                return path;
    // Named as missing where the program's own would be.
    return folders.last() + base + QLatin1String(ClipExtensions[0]);
}

void preloadSounds()
{
    QStringList names;
    for (const QString &folder : clipFolders())
        for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files, QDir::Name))
            if (const QString name = file.completeBaseName(); !names.contains(name))
                names << name;
    QStringList paths;
    for (const QString &name : names)
        paths << clipFile(name);
    if (SoundBank *sounds = bank())
        sounds->preload(paths);
}

bool soundLeftBehind()
{
    return theBank().leftBehind;
}

bool settleSound(int milliseconds)
{
    SoundBank *sounds = theBank().bank.get();
    return !sounds || sounds->settle(QDeadlineTimer(milliseconds));
}

} // namespace forms
