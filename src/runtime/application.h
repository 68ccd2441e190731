#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace forms {

class Form;

/// One window class of the project: its name and how to create its program-wide instance.
struct WindowClass
{
    const char *name;
    std::function<std::unique_ptr<Form>()> create;
};

/// What a program declares to the runtime: its name, its start-up window and its window classes.
struct ProjectDescription
{
    const char *name = "";
    const char *startupObject = "";
    /// The folder beside the program whose clips are loaded once the first window is up.
    const char *soundFolder = "";
    /// The program's folder in the user's data folder (~/.local/share): a clip a parent put in
    /// its own folder named like soundFolder wins over the program's.
    const char *dataFolder = "";
    /// How the desktop's sound settings list the program: a name and an icon name.
    const char *displayName = "";
    const char *iconName = "";
    std::vector<WindowClass> windowClasses;
};

/// Starts the program: creates the start-up window, shows it and delivers events until End or
/// until the last window closes, then ends the process with the exit status.
[[noreturn]] void start(int &argc, char **argv, const ProjectDescription &project);

/// Installs a project without starting it (for tests that drive windows themselves). The
/// instances of a previously installed project are destroyed.
void installProject(const ProjectDescription &project);

/// The project installed last.
const ProjectDescription &installedProject();

/// Destroys every program-wide instance; the project stays installed.
void releaseInstances();

/// The program-wide instance of a window class, created on first use.
/// Throws RuntimeError when the project has no such class.
Form &instance(const char *windowClass);

/// True when the program-wide instance of the class has been created.
bool hasInstance(const char *windowClass);

/// Show styles.
inline constexpr int vbModeless = 0;
inline constexpr int vbModal = 1;

namespace App {
/// The folder that holds the program, with no trailing separator except at the root.
QString Path();
/// Sets the folder Path reports (tests point it at a folder of their own); empty restores it.
void setPath(const QString &folder);
/// The project's name, shown as the title of the runtime's messages.
QString Title();
} // namespace App

/// A folder as Path reports it: no trailing separator except at the root.
QString withoutTrailingSeparator(QString folder);

/// Ends the program at once; no further handler runs.
[[noreturn]] void End(int status = 0);

/// Replaces what End does before the process exits (tests throw instead). Returns the previous.
using EndHandler = std::function<void(int)>;
EndHandler setEndHandler(EndHandler handler);

} // namespace forms
