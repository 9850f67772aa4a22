#pragma once

#include <QColor>

// The colours of the window designs, named by how they look. Each window
// takes its colours from here, whatever the desktop theme says.
namespace lunex::look {

inline constexpr QColor Black(0, 0, 0);
inline constexpr QColor White(255, 255, 255);
inline constexpr QColor Grey(128, 128, 128);        // frames and lines on black, the About line
inline constexpr QColor LightGrey(192, 192, 192);   // lines on light cyan, the calculator's outline
inline constexpr QColor MenuGrey(240, 240, 240);    // the main window's menu bar
inline constexpr QColor LightCyan(192, 255, 255);   // the calculator, description and About windows
inline constexpr QColor PaleGreen(192, 255, 192);   // their buttons
inline constexpr QColor LightGreen(128, 255, 128);  // the surface's text, the observation group
inline constexpr QColor LightYellow(255, 255, 192); // the new-moon field's text, the list, "OK"
inline constexpr QColor Yellow(255, 255, 128);      // "Utolsó Újhold"
inline constexpr QColor LightBlue(128, 128, 255);   // "Most!"
inline constexpr QColor Red(255, 0, 0);             // the description's warnings
inline constexpr QColor FocusOnBlack = White;       // keyboard focus on the main window

// The classic system colours of text and fields. Where a design leaves a text
// on its fixed light cyan in the system's window-text colour, a dark desktop
// theme would make that text light and unreadable: the classic black of the
// systems the designs were drawn on stands in for it, and white for a field.
inline constexpr QColor ClassicWindowText = Black;
inline constexpr QColor ClassicField = White;

} // namespace lunex::look
