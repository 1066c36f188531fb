#include "dialogs/CutTexts.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionHeader>
#include <QTextDocument>

namespace {

QString nameOf(const QWidget *widget)
{
    return widget->objectName().isEmpty() ? QString(widget->metaObject()->className()) : widget->objectName();
}

QString describe(const QWidget *widget, const QString &text, int needed, int has)
{
    return QString("%1: %2 (needs %3 px, has %4 px)").arg(nameOf(widget), text).arg(needed).arg(has);
}

int widestLine(const QFontMetrics &metrics, const QString &text)
{
    int widest = 0;
    for (const QString &line : text.split('\n'))
        widest = qMax(widest, metrics.horizontalAdvance(line));
    return widest;
}

void checkLabel(const QLabel *label, QStringList &cut)
{
    const QString text = label->text();
    if (text.isEmpty() || label->wordWrap() || Qt::mightBeRichText(text))
        return;
    const int needed = widestLine(label->fontMetrics(), text);
    const int has = label->contentsRect().width() - 2 * label->margin();
    if (needed > has)
        cut << describe(label, text, needed, has);
}

// A button narrower than its size hint has no room for all of its text and icon.
void checkButton(const QAbstractButton *button, QStringList &cut)
{
    if (button->text().isEmpty())
        return;
    const int needed = button->sizeHint().width();
    if (needed > button->width())
        cut << describe(button, button->text(), needed, button->width());
}

void checkCombo(const QComboBox *combo, QStringList &cut)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    option.subControls = QStyle::SC_All;
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField,
                                                       combo);
    const int has = field.width();
    for (int i = 0; i < combo->count(); ++i) {
        const int needed = combo->fontMetrics().horizontalAdvance(combo->itemText(i));
        if (needed > has)
            cut << describe(combo, combo->itemText(i), needed, has);
    }
}

void checkHeader(const QHeaderView *header, QStringList &cut)
{
    const int length = header->orientation() == Qt::Horizontal ? header->viewport()->width()
                                                                : header->viewport()->height();
    for (int section = 0; section < header->count(); ++section) {
        if (header->isSectionHidden(section))
            continue;
        QStyleOptionHeader option;
        option.initFrom(header);
        option.section = section;
        option.orientation = header->orientation();
        option.text = header->model()->headerData(section, header->orientation()).toString();
        const int start = header->sectionViewportPosition(section);
        const int size = qMin(header->sectionSize(section), length - start);
        option.rect = header->orientation() == Qt::Horizontal ? QRect(start, 0, size, header->height())
                                                              : QRect(0, start, header->width(), size);
        const QRect label = header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header);
        const int needed = widestLine(header->fontMetrics(), option.text);
        const int has = header->orientation() == Qt::Horizontal ? label.width() : label.height();
        if (needed > has || start < 0)
            cut << describe(header, option.text, needed, has);
    }
}

// Every cell must be wide enough for its text and lie across the view's width; the first rows,
// up to minimumRows, must also lie within its height.
void checkItemView(const QAbstractItemView *view, int minimumRows, QStringList &cut)
{
    const QAbstractItemModel *model = view->model();
    if (!model)
        return;
    const QRect viewport = view->viewport()->rect();
    for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
        for (int column = 0; column < model->columnCount(view->rootIndex()); ++column) {
            const QModelIndex index = model->index(row, column, view->rootIndex());
            const QRect rect = view->visualRect(index);
            if (rect.isEmpty())
                continue;
            const int needed = view->sizeHintForIndex(index).width();
            const int has = qMin(rect.right(), viewport.right()) - qMax(rect.left(), viewport.left()) + 1;
            const bool outOfSight = row < minimumRows && (rect.top() < 0 || rect.bottom() > viewport.bottom());
            if (needed > has || outOfSight)
                cut << describe(view, index.data().toString(), needed, outOfSight ? 0 : has);
        }
    }
}

} // namespace

QStringList cutTexts(const QWidget *root, int minimumRows)
{
    QStringList cut;
    for (const QWidget *widget : root->findChildren<QWidget *>()) {
        if (!widget->isVisible() || widget->window() != root->window())
            continue;
        if (const auto *label = qobject_cast<const QLabel *>(widget))
            checkLabel(label, cut);
        else if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
            checkButton(button, cut);
        else if (const auto *combo = qobject_cast<const QComboBox *>(widget))
            checkCombo(combo, cut);
        else if (const auto *header = qobject_cast<const QHeaderView *>(widget))
            checkHeader(header, cut);
        else if (const auto *view = qobject_cast<const QAbstractItemView *>(widget))
            checkItemView(view, minimumRows, cut);
    }
    return cut;
}

QStringList cutPopupTexts(const QComboBox *combo)
{
    QStringList cut;
    checkItemView(combo->view(), 0, cut);
    return cut;
}
