#ifndef SCREENFIT_H
#define SCREENFIT_H

class QDialog;

// Keeps a dialog inside the available area of the screen it opens on, each
// time it is shown: the size its form or its contents ask for is bounded by
// that area, where the dialog is too wide even at its smallest its rows of
// buttons stand one above the other, and its width leaves the title whole in
// the title bar. Call it once, after the form is set up.
void keepOnScreen(QDialog *dialog);

#endif // SCREENFIT_H
