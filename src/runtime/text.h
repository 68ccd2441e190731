#pragma once

#include <QString>

namespace forms {

/// The first n characters of text; all of it when n exceeds its length. Negative n raises
/// RuntimeError(InvalidProcedureCall).
QString Left(const QString &text, long long n);

/// The length of text in characters.
int Len(const QString &text);

/// A caption as drawn: "&" marks an access key and is not drawn, "&&" draws one "&".
QString displayText(const QString &caption);

} // namespace forms
