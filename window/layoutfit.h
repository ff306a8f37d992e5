#ifndef LAYOUTFIT_H
#define LAYOUTFIT_H

#include <QStringList>

class QMainWindow;
class Ui_mainWindow;

// Sizes the training window's controls once per font size and word list, so
// that nothing moves or grows from one item or group to the next, no text is
// cut, and the window fits the screen's available area. Every call starts
// from the form again: nothing an earlier call set, for another size or
// list, takes part in what this one measures.
// - the three word buttons share the width equally, each wide enough for the
//   widest word of the list (misspellings included), at size + 3 points in a
//   row, or down to the size itself where that is what fits; where three do
//   not fit in a row at that, they stand one above the other, and take a
//   smaller size only where even that is too wide or too high for the
//   screen (a word is never elided or wrapped);
// - the group list is as wide as its widest entry can be; the heights the
//   form fixes grow where the size needs more room;
// - the verdict has the room of its wider text, and the tick keeps its place
//   while hidden, so "Weiter" never moves;
// - where the row of group and type lists does not fit, its halves stand one
//   above the other, and where a half is still too wide, each label above
//   its list, and then the group list takes a smaller size; where the height
//   is short, the form's minimum heights, the margins and the status bar
//   give way, the status bar only while no line of it is shown
//   (statusBarSpeaks);
// - a picture shown above the words takes at least a third of the window's
//   height, or on a short screen what the words leave it;
// - only where nothing fits even so do the question, "Weiter" and the group
//   list become smaller too, the words never smaller than they.
// The window then takes its usual 800 x 530 or what it needs, within the screen.
void fitTrainingLayout(QMainWindow *window, Ui_mainWindow &ui, int size, const QStringList &words,
                       const QStringList &groups);
// Whether a line in the status bar is shown (the week's progress at home, a
// note that the records wait): it then keeps its room on a short screen.
bool statusBarSpeaks(const QMainWindow *window);

#endif // LAYOUTFIT_H
