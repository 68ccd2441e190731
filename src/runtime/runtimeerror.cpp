#include "runtimeerror.h"

#include "application.h"

#include <QApplication>
#include <QMessageBox>

namespace forms {

RuntimeError::RuntimeError(int number, const QString &description)
    : std::runtime_error(description.toStdString())
    , m_number(number)
    , m_description(description)
{ }

QString RuntimeError::message() const
{
    return QStringLiteral("Run-time error '%1':\n\n%2").arg(m_number).arg(m_description);
}

static void showMessageBox(const RuntimeError &error)
{
    QMessageBox box(QMessageBox::Critical, App::Title(), error.message(), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

static ErrorReporter &currentReporter()
{
    static ErrorReporter reporter = showMessageBox;
    return reporter;
}

void reportError(const RuntimeError &error)
{
    currentReporter()(error);
}

ErrorReporter setErrorReporter(ErrorReporter reporter)
{
    ErrorReporter previous = std::move(currentReporter());
    currentReporter() = reporter ? std::move(reporter) : ErrorReporter(showMessageBox);
    return previous;
}

void reportAndEnd(const RuntimeError &error)
{
    reportError(error);
    End(1);
}

void runHandler(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const RuntimeError &error) {
        reportAndEnd(error);
    } catch (const std::exception &error) {
        reportAndEnd(RuntimeError(51, QStringLiteral("Internal error: %1").arg(error.what())));
    }
}

} // namespace forms
