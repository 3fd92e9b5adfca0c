#pragma once

class QApplication;

// The buttons' hints: large enough to read on the projected picture, and never in the way. A hint
// window lies over the page (the "右翻页" hint covers rows of the board), so it lets every press
// through to what lies under it: a stroke begun there draws.
namespace Hints {

void install(QApplication& application);

} // namespace Hints
