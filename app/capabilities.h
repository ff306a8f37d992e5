#ifndef CAPABILITIES_H
#define CAPABILITIES_H

// The capabilities beside the training, each wired by one function: it makes
// its objects as children of the window (so they go before the settings
// store), puts its menu into the window's menu bar and connects to what the
// window announces. With nothing chosen or switched on, none of them changes
// what the window does or writes anything.

class gameThreeWords;
class preferences;
struct StartOptions;

// Own word lists: the menu "Wortliste", --words and the key "wordList".
void wireWordLists(gameThreeWords &window, preferences &prefs, const StartOptions &options);
// Patients and their records: the menu "Patient", --patient and the key "patient".
void wireRecords(gameThreeWords &window, preferences &prefs, const StartOptions &options);
// Spoken words: the group "Vorlesen" of the settings dialog and the key "speakWords",
// and the right word heard when the presentation listens ("Hören").
void wireSpeech(gameThreeWords &window, preferences &prefs);

#endif // CAPABILITIES_H
