#ifndef HORM_COLLECTIONITEM_H
#define HORM_COLLECTIONITEM_H

template <class T>
class HORM_Collection;

// One position of a collection. It does not own the object, which stays valid until its
// collection loads again.
template <class T>
struct HORM_CollectionItem
{
    int index = -1;
    HORM_Collection<T> *collection = nullptr;
    T *object = nullptr;

    // Whether the item has no object, fetching it from the collection first when needed.
    bool isNull()
    {
        if (!collection || index < 0 || index >= collection->count())
            return true;
        if (!object)
            *this = collection->at(index);
        return object == nullptr;
    }
};

#endif // HORM_COLLECTIONITEM_H
