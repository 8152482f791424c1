// The forms' painted controls for Qt's accessibility framework, built only when assistive
// technology asks for them.
#pragma once

namespace tk::qt {

class FormWindow;

void installAccessibility();
// The host's view may have changed: tell assistive technology what did.
void accessibleChanged(FormWindow& window);
// A window shown: an alert is announced.
void accessibleShown(FormWindow& window);

} // namespace tk::qt
