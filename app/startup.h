#ifndef STARTUP_H
#define STARTUP_H

class QIcon;
class gameThreeWords;
class preferences;

// The trainer's look: the calm, flat Cleanlooks style whatever style the
// command line or the desktop asks for. Where the Cleanlooks plugin is not
// installed, Fusion stands in and one warning line says so on standard error.
// Either way the keyboard focus on a button is a frame a patient sees from a
// distance (trainerStyle). Call after the application object has read its command line.
void applyTrainerStyle();

// Qt's own texts in German: the buttons of a question, the file dialogs, the
// menu of a text field. Without Qt's translations installed they stay
// English, and one warning line on standard error says so.
void installQtTranslations();

// A setting that cannot be stored is told in the window, not only on
// standard error, which a Windows program started from its menu has not.
void tellProblemsInWindow(gameThreeWords &window, preferences &prefs);

// The application icon in 16, 32, 64 and 128 pixels.
QIcon trainerIcon();

#endif // STARTUP_H
