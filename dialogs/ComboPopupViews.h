#ifndef COMBOPOPUPVIEWS_H
#define COMBOPOPUPVIEWS_H

class QWidget;

// Gives every descendant combo box whose class is exactly QComboBox a plain list view as its
// pop-up, in a window with exactly the Popup, frameless and no-drop-shadow flags, so the style
// sheets can draw the pop-up lists.
void installComboPopupViews(QWidget *root);

#endif // COMBOPOPUPVIEWS_H
