#ifndef HORM_BASEOBJECT_H
#define HORM_BASEOBJECT_H

#include "store/LibHORM.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <vector>

class QSqlRecord;
template <class T>
class HORM_Collection;

// Base of every stored class: one row of the table named after the class.
//
// A stored class declares each column as a property with a READ accessor and a WRITE accessor
// "set" + name, plus Q_CLASSINFO("<name>", "DB"); foreign keys also get "DB_INDEX". Every setter
// stores the value and then calls markChanged("<name>"). A parent class declares
// Q_CLASSINFO("<Child>", "DB_REFFENCE") and a property REF_<Child> of type
// HORM_Collection<Child>* with READ (loadReferences(), then the member) and RESET (member =
// createChildCollection<Child>()).
class HORM_BaseObject : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int ID READ getID WRITE setID)
    Q_CLASSINFO("ID", "DB")
    Q_CLASSINFO("ID", "DB_KEY")
    Q_CLASSINFO("ID", "DB_INDEX")

public:
    HORM_BaseObject(LibHORM *store, QObject *parent = nullptr);
    ~HORM_BaseObject() override;

    int getID() const;
    void setID(int id);
    // False while the object has no row: a failed insert leaves ID 0, which no row ever has.
    bool hasRow() const;

    void markChanged(const QString &propertyName);
    void attachCollection(const QStringList *allColumns, const QStringList *bulkColumns, const QStringList *lazyColumns);
    void loadReferences();

    QString insertSql() const;
    bool insertRow();
    QString updateSql() const;
    // True when the row holds the object's values afterwards; a failed save stays marked.
    bool updateRow();
    QString selectSql() const;
    bool selectRow();
    void clearLazyColumns();

    // Sets each property named like a column of the row; NULL leaves a number or byte array at
    // its current value and empties a text.
    void assignColumns(const QSqlRecord &record);

protected:
    // A collection of the child rows of this object, owned by this object.
    template <class R>
    HORM_Collection<R> *createChildCollection();

private:
    bool usable(const char *entryPoint) const;
    QString className() const;
    QString keyCondition() const;
    QStringList literals(const QStringList &names, const QStringList &types) const;

    QPointer<LibHORM> store;
    int ID = 0;
    bool modified = false;
    bool lazyColumnsValid = false;
    bool referencesLoaded = false;
    const QStringList *allColumns = nullptr;
    const QStringList *bulkColumns = nullptr;
    const QStringList *lazyColumns = nullptr;
    std::vector<std::unique_ptr<void, void (*)(void *)>> childCollections;
};

template <class R>
HORM_Collection<R> *HORM_BaseObject::createChildCollection()
{
    auto *children = new HORM_Collection<R>(store.data(), className() + QLatin1String("ID"), QString::number(ID));
    childCollections.emplace_back(children, [](void *collection) { delete static_cast<HORM_Collection<R> *>(collection); });
    return children;
}

#endif // HORM_BASEOBJECT_H
