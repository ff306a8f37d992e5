#ifndef LAYOUTFIT_H
#define LAYOUTFIT_H

#include <QStringList>

class QMainWindow;
class Ui_mainWindow;

// Sizes the training window's controls once per font size and word list, so
// that nothing moves or grows from one item or group to the next, no text is
// cut, and the window fits the screen's available area:
// - the three word buttons share the width equally, each wide enough for the
//   widest word of the list (misspellings included); where three such
//   buttons do not fit the screen at size + 3 points, they take the largest
//   smaller size at which they do (a word is never elided or wrapped);
// - the group list is as wide as its widest entry can be; the heights the
//   form fixes grow where the size needs more room;
// - the verdict has the room of its wider text, and the tick keeps its place
//   while hidden, so "Weiter" never moves;
// - where the row of group and type lists does not fit, its halves stand one
//   above the other, and where a half is still too wide, each label above
//   its list; where the height is short, the form's minimum heights, the
//   margins and the empty status bar give way.
// The window then takes its usual 800 x 530 or what it needs, within the screen.
void fitTrainingLayout(QMainWindow *window, Ui_mainWindow &ui, int size, const QStringList &words,
                       const QStringList &groups);

#endif // LAYOUTFIT_H
