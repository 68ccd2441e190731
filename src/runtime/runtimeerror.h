#pragma once

#include <QString>

#include <functional>
#include <stdexcept>

namespace forms {

/// The runtime's error numbers, as the windows' platform numbers them.
enum ErrorNumber {
    InvalidProcedureCall = 5,
    Overflow = 6,
    FileNotFound = 53,
    PathNotFound = 76,
    InvalidPropertyValue = 380,
    InvalidPicture = 481,
    ObjectRequired = 424,
};

/// A runtime error: carried from the failing call to the event boundary, where it is reported.
class RuntimeError : public std::runtime_error
{
public:
    RuntimeError(int number, const QString &description);

    int number() const { return m_number; }
    QString description() const { return m_description; }
    /// The message a person sees: "Run-time error 'N':" and the description.
    QString message() const;

private:
    int m_number;
    QString m_description;
};

/// Shows a runtime error to the user and returns once it is dismissed.
void reportError(const RuntimeError &error);

/// Replaces how errors are shown (a message box by default); tests record them instead.
/// Returns the previous reporter.
using ErrorReporter = std::function<void(const RuntimeError &)>;
ErrorReporter setErrorReporter(ErrorReporter reporter);

/// Reports the error, then ends the program: what an error that no handler catches does.
[[noreturn]] void reportAndEnd(const RuntimeError &error);

/// Runs one event handler; an error escaping it is reported and ends the program.
void runHandler(const std::function<void()> &handler);

} // namespace forms
