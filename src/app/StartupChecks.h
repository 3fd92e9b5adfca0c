#pragma once

class Desktop;
class Prompter;

// The desktop checks the toolbar makes before the program goes on: a colour depth of at least 24
// bits, one copy of the program only, and no touch-screen monitor window.
namespace StartupChecks {

// Asks to raise a colour depth below 24 bits; a refused or failed switch changes nothing.
void checkColourDepth(Desktop& desktop, Prompter& prompter);

// Walks every top-level window: counts the program's application windows and closes the
// touch-screen monitor. True when another copy of the program is running.
bool walkWindows(Desktop& desktop);

// Closes every window captioned as the on-screen keyboard, comparing captions up to
// captionLength characters; true when one was found.
bool closeKeyboardWindows(Desktop& desktop, int captionLength);

} // namespace StartupChecks
