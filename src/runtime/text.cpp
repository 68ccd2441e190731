#include "text.h"

#include "runtimeerror.h"

namespace forms {

QString Left(const QString &text, long long n)
{
    if (n < 0)
        throw RuntimeError(InvalidProcedureCall,
                           QStringLiteral("Invalid procedure call or argument"));
    return n >= text.size() ? text : text.left(static_cast<qsizetype>(n));
}

int Len(const QString &text)
{
    return static_cast<int>(text.size());
}

QString displayText(const QString &caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&') {
            // "&&" is a drawn ampersand; a lone "&", even the last character, marks and hides.
            if (i + 1 < caption.size() && caption.at(i + 1) == u'&')
                shown += caption.at(++i);
            continue;
        }
        shown += caption.at(i);
    }
    return shown;
}

} // namespace forms
