// The core's accessible tree for Qt's accessibility framework (AT-SPI on Linux), asked for only
// when assistive technology asks.
#pragma once

namespace tk::qt {

class FormWindow;

void installAccessibility();
// Tells assistive technology what the core says changed since it last asked.
void forwardChanges(FormWindow& window);
// The window has the keyboard focus again: a painted control that holds it says so.
void focusReturned(FormWindow& window);

} // namespace tk::qt
