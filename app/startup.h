#ifndef STARTUP_H
#define STARTUP_H

#include <functional>

class QIcon;
class QObject;
class QWidget;

// The trainer's look: the calm, flat Cleanlooks style whatever style the
// command line or the desktop asks for. Where the Cleanlooks plugin is not
// installed, Fusion stands in and one warning line says so on standard error.
// Call after the application object has read its command line.
void applyTrainerStyle();

// The application icon in 16, 32, 64 and 128 pixels.
QIcon trainerIcon();

// Calls `call` once the window, shown by main, is on screen and painted: the
// place for work that must not delay the start. Not at all if `context` is
// gone by then.
void whenShown(QWidget &window, QObject *context, const std::function<void()> &call);

#endif // STARTUP_H
