#pragma once

namespace zendry {

// Qt's line edit tells accessibility clients each piece of text typed,
// pasted or removed, even in password mode, where its readable text is
// empty: a screen reader would speak the password letter by letter, and any
// program listening would get it. From this call on, every such event of a
// box in password mode is passed on with its text masked, a star for each
// character; all other events pass unchanged. Calling it again does nothing.
void maskPasswordEvents();

} // namespace zendry
