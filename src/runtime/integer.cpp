#include "integer.h"

#include "runtimeerror.h"

namespace forms {

Integer::Integer(long long value)
{
    if (value < -32768 || value > 32767)
        throw RuntimeError(Overflow, QStringLiteral("Overflow"));
    m_value = static_cast<std::int16_t>(value);
}

} // namespace forms
