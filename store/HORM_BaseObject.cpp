#include "store/HORM_BaseObject.h"

#include "store/HORM_SqlLiteral.h"

#include <QMetaProperty>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtDebug>

HORM_BaseObject::HORM_BaseObject(LibHORM *store, QObject *parent)
    : QObject(parent)
    , store(store)
{
}

HORM_BaseObject::~HORM_BaseObject() = default;

int HORM_BaseObject::getID() const
{
    return ID;
}

void HORM_BaseObject::setID(int id)
{
    ID = id;
    markChanged(QStringLiteral("ID"));
}

bool HORM_BaseObject::hasRow() const
{
    return ID != 0;
}

bool HORM_BaseObject::usable(const char *entryPoint) const
{
    return LibHORM::checkCaller(store.data(), entryPoint);
}

QString HORM_BaseObject::className() const
{
    return QString::fromLatin1(metaObject()->className());
}

void HORM_BaseObject::markChanged(const QString &propertyName)
{
    // Setters run while a collection fills an object that is not attached yet: that is no change.
    if (!allColumns || !usable("HORM_BaseObject::markChanged"))
        return;
    QString keyName;
    QString keyType;
    if (!store->getKeyInfo(className(), keyName, keyType) || propertyName == keyName)
        return;
    modified = true;
    if (lazyColumns && lazyColumns->contains(propertyName))
        lazyColumnsValid = true;
}

void HORM_BaseObject::attachCollection(const QStringList *all, const QStringList *bulk, const QStringList *lazy)
{
    allColumns = all;
    bulkColumns = bulk;
    lazyColumns = lazy;
}

void HORM_BaseObject::loadReferences()
{
    if (referencesLoaded || !usable("HORM_BaseObject::loadReferences"))
        return;
    QStringList children;
    if (store->getReferences(className(), children)) {
        for (const QString &child : children) {
            const int index = metaObject()->indexOfProperty(QByteArray("REF_") + child.toLatin1());
            if (index >= 0)
                metaObject()->property(index).reset(this);
        }
    }
    referencesLoaded = true;
}

QStringList HORM_BaseObject::literals(const QStringList &names, const QStringList &types) const
{
    QStringList values;
    for (int i = 0; i < names.size(); ++i)
        values << sqlLiteral(property(names.at(i).toLatin1()), types.at(i));
    return values;
}

QString HORM_BaseObject::keyCondition() const
{
    QString keyName;
    QString keyType;
    if (!store->getKeyInfo(className(), keyName, keyType))
        return QString();
    return keyName + QLatin1String(" = ") + sqlLiteral(property(keyName.toLatin1()), keyType);
}

QString HORM_BaseObject::insertSql() const
{
    QStringList names;
    QStringList types;
    if (!usable("HORM_BaseObject::insertSql") || !store->getColumns(className(), names, types) || names.isEmpty())
        return QString();
    // One pass over the template: a value's text is never read again as a placeholder.
    return QStringLiteral("INSERT INTO %1 ( %2 ) VALUES ( %3 )")
        .arg(className(), names.join(QLatin1String(", ")), literals(names, types).join(QLatin1String(", ")));
}

bool HORM_BaseObject::insertRow()
{
    if (!usable("HORM_BaseObject::insertRow") || !store->writeAllowed("HORM_BaseObject::insertRow"))
        return false;
    const QString sql = insertSql();
    if (sql.isEmpty()) {
        qWarning() << "HORM_BaseObject: no row inserted for" << className() << ": it has no stored columns";
        return false;
    }
    QSqlQuery query(*store->database());
    if (!query.exec(sql)) {
        qWarning() << "HORM_BaseObject: insert into" << className() << "failed:" << query.lastError().text();
        store->noteFailure(query.lastError().databaseText());
        return false;
    }
    QString keyName;
    QString keyType;
    if (query.exec(QStringLiteral("select last_insert_rowid()")) && store->getKeyInfo(className(), keyName, keyType)
        && query.next())
        setProperty(keyName.toLatin1(), query.value(0));
    modified = false;
    lazyColumnsValid = false;
    // A row whose key could not be read back cannot be saved again: report it as a failure.
    return hasRow();
}

QString HORM_BaseObject::updateSql() const
{
    QStringList names;
    QStringList types;
    if (!usable("HORM_BaseObject::updateSql") || !store->getColumns(className(), names, types))
        return QString();
    if (!lazyColumnsValid && lazyColumns) {
        for (int i = names.size() - 1; i >= 0; --i) {
            if (lazyColumns->contains(names.at(i))) {
                names.removeAt(i);
                types.removeAt(i);
            }
        }
    }
    const QString key = keyCondition();
    if (names.isEmpty() || key.isEmpty())
        return QString();
    const QStringList values = literals(names, types);
    QStringList items;
    for (int i = 0; i < names.size(); ++i)
        items << names.at(i) + QLatin1String(" = ") + values.at(i);
    return QStringLiteral("UPDATE %1 SET %2 WHERE %3 ").arg(className(), items.join(QLatin1String(", ")), key);
}

bool HORM_BaseObject::updateRow()
{
    if (!usable("HORM_BaseObject::updateRow") || !store->writeAllowed("HORM_BaseObject::updateRow"))
        return false;
    if (!modified)
        return true;
    const QString sql = updateSql();
    if (sql.isEmpty())
        return false;
    QSqlQuery query(*store->database());
    if (!query.exec(sql)) {
        qWarning() << "HORM_BaseObject: update of" << className() << ID << "failed:" << query.lastError().text();
        store->noteFailure(query.lastError().databaseText());
        return false;
    }
    // An object whose insert failed has no row to update: the change stays marked.
    if (query.numRowsAffected() < 1) {
        qWarning() << "HORM_BaseObject: update of" << className() << ID << "found no row";
        return false;
    }
    modified = false;
    return true;
}

QString HORM_BaseObject::selectSql() const
{
    if (!usable("HORM_BaseObject::selectSql") || !lazyColumns || lazyColumns->isEmpty())
        return QString();
    const QString key = keyCondition();
    if (key.isEmpty())
        return QString();
    return QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(lazyColumns->join(QLatin1String(", ")), className(), key);
}

bool HORM_BaseObject::selectRow()
{
    if (!usable("HORM_BaseObject::selectRow"))
        return false;
    const QString sql = selectSql();
    if (sql.isEmpty())
        return false;
    QSqlQuery query(*store->database());
    query.setForwardOnly(true);
    if (!query.exec(sql) || !query.next()) {
        qWarning() << "HORM_BaseObject: cannot read the deferred columns of" << className() << ID << ":"
                   << query.lastError().text();
        if (query.lastError().isValid())
            store->noteReadFailure(query.lastError().text());
        return false;
    }
    // Values just read from the row are no change to write back.
    const bool wasModified = modified;
    assignColumns(query.record());
    modified = wasModified;
    lazyColumnsValid = true;
    return true;
}

void HORM_BaseObject::clearLazyColumns()
{
    if (!usable("HORM_BaseObject::clearLazyColumns") || !lazyColumns)
        return;
    const bool wasModified = modified;
    for (const QString &name : *lazyColumns) {
        const int index = metaObject()->indexOfProperty(name.toLatin1());
        if (index >= 0)
            metaObject()->property(index).write(this, QVariant(metaObject()->property(index).userType(), nullptr));
    }
    modified = wasModified;
    // The emptied values must never overwrite the row.
    lazyColumnsValid = false;
}

void HORM_BaseObject::assignColumns(const QSqlRecord &record)
{
    const QMetaObject *meta = metaObject();
    for (int i = 0; i < record.count(); ++i) {
        const int index = meta->indexOfProperty(record.fieldName(i).toLatin1());
        if (index < 0)
            continue;
        const QMetaProperty property = meta->property(index);
        const QVariant value = record.value(i);
        if (!value.isNull())
            property.write(this, value);
        else if (property.userType() == QMetaType::QString)
            property.write(this, QString());
    }
}
