#pragma once

// Texts the About and Help windows show about the program itself.

namespace info {

/// Whom the program is for and how it may be had; About and Help show the same line.
inline constexpr const char *Dedication
    = "Made for young children learning letters and numbers. Anyone may download it free.";

inline constexpr const char *ContactLine
    = "Quorbel Alphabet \u2014 a free learning program. Source code and help: see the README "
      "that comes with the program.";

inline constexpr const char *CopyrightLine
    = "Copyright \u00A9 2026 the Quorbel Alphabet developers";

inline constexpr const char *RightsNotice
    = "Free software, shared by its developers: you may copy it and give it away free of "
      "charge. It comes with no warranty of any kind.";

} // namespace info
