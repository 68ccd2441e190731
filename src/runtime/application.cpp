#include "application.h"

#include "form.h"
#include "runtimeerror.h"
#include "sound_p.h"

#include <QApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#define QUORBEL_LEAK_CHECK
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORBEL_LEAK_CHECK
#endif
#endif
#ifdef QUORBEL_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

namespace forms {

namespace {

struct Registry
{
    ProjectDescription project;
    std::map<std::string, std::unique_ptr<Form>, std::less<>> instances;
    QString pathOverride;
    EndHandler endHandler;
};

Registry &registry()
{
    static Registry theRegistry;
    return theRegistry;
}

// Runs a job a moment after the window has painted for the first time, so that the job cannot
// delay the first pixels the child sees, nor take the processor while they reach the screen.
class AfterFirstPaint : public QObject
{
public:
    AfterFirstPaint(QWidget *window, std::function<void()> job)
        : QObject(window)
        , m_job(std::move(job))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(250, qApp, m_job);
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_job;
};

} // namespace

void installProject(const ProjectDescription &project)
{
    releaseInstances();
    registry().project = project;
}

const ProjectDescription &installedProject()
{
    return registry().project;
}

void releaseInstances()
{
    // Destroy in a loop: a window's destructor must not find its siblings half gone.
    auto &instances = registry().instances;
    while (!instances.empty())
        instances.erase(instances.begin());
}

Form &instance(const char *windowClass)
{
    Registry &r = registry();
    const auto found = r.instances.find(std::string_view(windowClass));
    if (found != r.instances.end())
        return *found->second;
    for (const WindowClass &entry : r.project.windowClasses) {
        if (std::string_view(entry.name) == windowClass)
            return *r.instances.emplace(entry.name, entry.create()).first->second;
    }
    throw RuntimeError(ObjectRequired,
                       QStringLiteral("Object required: %1").arg(QString::fromUtf8(windowClass)));
}

bool hasInstance(const char *windowClass)
{
    return registry().instances.count(std::string_view(windowClass)) != 0;
}

void start(int &argc, char **argv, const ProjectDescription &project)
{
    auto application = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(project.name));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    installProject(project);
    setSoundIdentity(QString::fromUtf8(project.displayName), QString::fromUtf8(project.iconName));
    runHandler([&project] { instance(project.startupObject).Show(); });
    if (*project.soundFolder)
        if (QWidget *window = instance(project.startupObject).window())
            new AfterFirstPaint(window, [] { preloadSounds(); });
    const int status = QApplication::exec();
    releaseInstances();
    application.reset();
    // Ends here, as End does: the sound server's client library, torn down at exit, may free what
    // a sound thread left behind still waits on, or abort on a lock its own thread holds.
    std::fflush(nullptr);
#ifdef QUORBEL_LEAK_CHECK
    // The check stops every thread, which one stuck in the sound server's library cannot take.
    if (!soundLeftBehind())
        __lsan_do_leak_check();
#endif
    std::_Exit(status);
}

QString withoutTrailingSeparator(QString folder)
{
    static const QRegularExpression driveRoot(QStringLiteral("^[A-Za-z]:[\\\\/]$"));
    while (folder.size() > 1 && (folder.endsWith(u'/') || folder.endsWith(u'\\'))
           && !driveRoot.match(folder).hasMatch())
        folder.chop(1);
    return folder;
}

QString App::Path()
{
    const QString &override = registry().pathOverride;
    return withoutTrailingSeparator(override.isEmpty() ? QCoreApplication::applicationDirPath()
                                                       : override);
}

void App::setPath(const QString &folder)
{
    registry().pathOverride = folder;
}

QString App::Title()
{
    const char *name = registry().project.name;
    return name && *name ? QString::fromUtf8(name) : QCoreApplication::applicationName();
}

void End(int status)
{
    if (const EndHandler &handler = registry().endHandler)
        handler(status);
    std::fflush(nullptr);
    std::_Exit(status);
}

EndHandler setEndHandler(EndHandler handler)
{
    EndHandler previous = std::move(registry().endHandler);
    registry().endHandler = std::move(handler);
    return previous;
}

} // namespace forms
