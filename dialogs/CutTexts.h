#ifndef CUTTEXTS_H
#define CUTTEXTS_H

#include <QStringList>

class QComboBox;
class QWidget;

// Texts that the visible widgets of a form cut at their current sizes, as "comboBox_E0: Demo-Elect
// ... (needs 96 px, has 70 px)": one-line labels, buttons and check boxes, every item of a combo
// box (whichever the operator may choose), and the cells and header sections of tables and lists;
// a table that shows fewer rows than it has, up to minimumRows, counts as cut too. Empty when
// every text is whole.
QStringList cutTexts(const QWidget *root, int minimumRows = 5);

// Items of the combo box's open list that the list cuts: the list must be open.
QStringList cutPopupTexts(const QComboBox *combo);

#endif // CUTTEXTS_H
