#ifndef HORM_COLLECTION_H
#define HORM_COLLECTION_H

#include "store/HORM_BaseObject.h"
#include "store/HORM_CollectionItem.h"
#include "store/HORM_CollectionSql.h"
#include "store/LibHORM.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QVariant>

// The stored objects of class T for the rows of T's table: all of them (root collection) or those
// whose foreign-key column holds one parent's key (child collection). The collection owns its
// objects; every load deletes the ones it held before.
template <class T>
class HORM_Collection
{
public:
    explicit HORM_Collection(LibHORM *store);
    HORM_Collection(LibHORM *store, const QString &foreignKeyColumn, const QString &foreignKeyValue);
    ~HORM_Collection();
    HORM_Collection(const HORM_Collection &) = delete;
    HORM_Collection &operator=(const HORM_Collection &) = delete;

    void initColumns();
    void load(const QString &rowFilter, const QString &rowOrder);
    void selectRows(const QStringList &columns, const QString &rowFilter, const QString &rowOrder);
    int count() const;
    HORM_CollectionItem<T> at(int index);
    HORM_CollectionItem<T> addNew();
    void setOrder(const QString &column);

private:
    static QString table() { return QString::fromLatin1(T::staticMetaObject.className()); }
    bool usable(const char *entryPoint) const { return LibHORM::checkCaller(store.data(), entryPoint); }
    int &countFor(const QString &rowFilter) { return rowFilter.isEmpty() ? totalCount : filteredCount; }
    HORM_CollectionItem<T> invalidItem() { return {-1, this, nullptr}; }
    void deleteObjects();

    QPointer<LibHORM> store;
    int totalCount = 0;
    int currentIndex = 0;
    QList<T *> objects;
    QStringList allColumns;
    QStringList bulkColumns;
    QStringList lazyColumns;
    QString filter;
    QString order;
    int filteredCount = 0;
    bool isChild = false;
    QString fkColumn;
    QString fkValue;
};

template <class T>
HORM_Collection<T>::HORM_Collection(LibHORM *store)
    : store(store)
{
    initColumns();
    load(filter, order);
}

template <class T>
HORM_Collection<T>::HORM_Collection(LibHORM *store, const QString &foreignKeyColumn, const QString &foreignKeyValue)
    : store(store)
    , filter(foreignKeyColumn + QLatin1String(" = ") + foreignKeyValue)
    , isChild(true)
    , fkColumn(foreignKeyColumn)
    , fkValue(foreignKeyValue)
{
    initColumns();
    load(filter, order);
}

template <class T>
HORM_Collection<T>::~HORM_Collection()
{
    deleteObjects();
}

template <class T>
void HORM_Collection<T>::deleteObjects()
{
    qDeleteAll(objects);
    objects.clear();
}

template <class T>
void HORM_Collection<T>::initColumns()
{
    allColumns = HORM_CollectionSql::classInfoNames(&T::staticMetaObject, "DB");
    lazyColumns = HORM_CollectionSql::classInfoNames(&T::staticMetaObject, "DB_GetOnUse");
    bulkColumns.clear();
    for (const QString &column : qAsConst(allColumns)) {
        if (!lazyColumns.contains(column))
            bulkColumns << column;
    }
}

template <class T>
void HORM_Collection<T>::load(const QString &rowFilter, const QString &rowOrder)
{
    if (!usable("HORM_Collection::load"))
        return;
    deleteObjects();
    int &rows = countFor(rowFilter);
    const QString error =
        HORM_CollectionSql::readCount(*store->database(), HORM_CollectionSql::countSql(table(), rowFilter), rows);
    if (!error.isEmpty())
        store->noteReadFailure(error);
    if (rows == 0)
        return;
    selectRows(bulkColumns, rowFilter, rowOrder);
}

template <class T>
void HORM_Collection<T>::selectRows(const QStringList &columns, const QString &rowFilter, const QString &rowOrder)
{
    if (!usable("HORM_Collection::selectRows"))
        return;
    QVector<QSqlRecord> rows;
    const QString sql = HORM_CollectionSql::selectSql(columns, table(), rowFilter, rowOrder);
    const QString error = HORM_CollectionSql::readRows(*store->database(), sql, rows);
    if (!error.isEmpty()) {
        store->noteReadFailure(error);
        return;
    }
    for (const QSqlRecord &row : qAsConst(rows)) {
        T *object = new T(store.data(), nullptr);
        object->assignColumns(row);
        object->attachCollection(&allColumns, &bulkColumns, &lazyColumns);
        objects.append(object);
    }
}

template <class T>
int HORM_Collection<T>::count() const
{
    if (!usable("HORM_Collection::count"))
        return 0;
    return filter.isEmpty() ? totalCount : filteredCount;
}

template <class T>
HORM_CollectionItem<T> HORM_Collection<T>::at(int index)
{
    if (!usable("HORM_Collection::at") || index < 0 || index >= count() || index >= objects.size())
        return invalidItem();
    currentIndex = index;
    return {index, this, objects.at(index)};
}

template <class T>
HORM_CollectionItem<T> HORM_Collection<T>::addNew()
{
    if (!usable("HORM_Collection::addNew"))
        return invalidItem();
    T *object = new T(store.data(), nullptr);
    if (isChild)
        object->setProperty(fkColumn.toLatin1(), fkValue);
    // A failed insert leaves the object without a row (ID 0); it is still held, as callers expect.
    object->insertRow();
    object->loadReferences();
    object->attachCollection(&allColumns, &bulkColumns, &lazyColumns);
    currentIndex = count();
    countFor(filter) += 1;
    objects.append(object);
    return at(currentIndex);
}

template <class T>
void HORM_Collection<T>::setOrder(const QString &column)
{
    if (!usable("HORM_Collection::setOrder"))
        return;
    order = column;
    load(filter, order);
}

#endif // HORM_COLLECTION_H
