// cKeyedList: the singly linked list with a 16-bit id and an optional owned
// name per node, from which every registry and model list is built.
//
// A list value is at once the list and its first node (the head). The owner
// embeds the head; every further node lives on the heap and is owned by the
// node before it. `append` numbers elements 1, 2, 3, ... so an id doubles as a
// 1-based position. Lookups return the first match from the head; `findId`
// and `findName` fall back to the head when nothing matches.
//
// Speed: the head keeps a tail pointer and an index from id to the first
// non-head node carrying it, so `last`, `append`, `containsId` and `findId`
// are constant time when called on the head. Results are those of a walk
// from the node the operation is called on; a node that is not a head (or a
// head whose index is not built) simply walks.
//
// Any node may be assigned to or copied, not only a head: a node remembers
// the head whose index lists it, and when it is destroyed that head drops its
// index (and walks until its next insert builds a fresh one), so no index
// ever holds a freed node.
//
// Nodes never move: a pointer to an element stays valid until the list is
// destroyed or assigned to.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

template <class T>
class cKeyedList {
public:
    bool used = false;
    uint16_t id = 0;
    char* name = nullptr;
    T element{};
    cKeyedList* next = nullptr;

    cKeyedList() = default;
    cKeyedList(const cKeyedList& other) { *this = other; }
    ~cKeyedList() { destroyChain(); }

    cKeyedList& operator=(const cKeyedList& other);

    bool isFree() const { return !used; }

    // The last node of the chain (this node when it is alone).
    cKeyedList* last();

    // Replaces this node's name by a copy of s; a null s leaves it as it is.
    int setName(const char* s);

    void setElement(const T& value) {
        element = value;
        used = true;
    }

    // Stores value at the tail under the given name and id; 1 or -1.
    int insert(T value, const char* nodeName, uint16_t nodeId);

    // insert with the last node's id + 1, modulo 65536.
    int append(T value, const char* nodeName) {
        const uint16_t nextId = static_cast<uint16_t>(last()->id + 1);
        return insert(std::move(value), nodeName, nextId);
    }
    int append(T value) { return append(std::move(value), nullptr); }

    bool containsId(uint16_t key) const { return lookupId(key) != nullptr; }
    cKeyedList* findId(uint16_t key) {
        cKeyedList* found = const_cast<cKeyedList*>(lookupId(key));
        return found ? found : this;
    }

    bool containsName(const char* s) const { return lookupName(s) != nullptr; }
    cKeyedList* findName(const char* s) {
        cKeyedList* found = const_cast<cKeyedList*>(lookupName(s));
        return found ? found : this;
    }

private:
    // Kept by a head only: where the chain ends and where each id first
    // appears after the head.
    struct cIndex {
        cKeyedList* tail = nullptr;
        std::vector<cKeyedList*> firstById;
    };
    std::unique_ptr<cIndex> index;
    // The head whose index lists this node (or holds it as the tail); it may
    // be a head that has dropped its index since.
    cKeyedList* indexedBy = nullptr;

    void indexNode(cKeyedList* node);
    void rebuildIndex();
    const cKeyedList* lookupId(uint16_t key) const;
    const cKeyedList* lookupName(const char* s) const;
    void destroyTail();
    void destroyChain();
};

// ---- Member functions ------------------------------------------------------

template <class T>
cKeyedList<T>* cKeyedList<T>::last() {
    cKeyedList* node = (index && index->tail) ? index->tail : this;
    // Catch up with nodes linked in through some other node.
    while (node->next) {
        node = node->next;
        if (index) indexNode(node);
    }
    if (index) index->tail = node;
    return node;
}

template <class T>
int cKeyedList<T>::setName(const char* s) {
    if (!s) return 1;
    delete[] name;
    name = nullptr;
    const size_t length = std::strlen(s) + 1;
    char* copy = new (std::nothrow) char[length];
    if (!copy) return -1;
    std::memcpy(copy, s, length);
    name = copy;
    return 1;
}

template <class T>
int cKeyedList<T>::insert(T value, const char* nodeName, uint16_t nodeId) {
    if (!index) rebuildIndex();
    cKeyedList* tail = last();
    if (tail->isFree()) {
        if (tail->setName(nodeName) == -1) return -1;
        tail->setElement(value);
        tail->id = nodeId;
        return 1;
    }
    cKeyedList* node = new (std::nothrow) cKeyedList;
    if (!node) return -1;
    tail->next = node;
    if (node->setName(nodeName) == -1) {
        tail->next = nullptr;
        delete node;
        return -1;
    }
    node->setElement(value);
    node->id = nodeId;
    indexNode(node);
    index->tail = node;
    return 1;
}

template <class T>
void cKeyedList<T>::indexNode(cKeyedList* node) {
    if (node == this) return;  // the head is always compared first
    // One index per node: a node listed by another head (one that was
    // assigned to, in the middle of this chain) leaves that index.
    if (node->indexedBy != this) {
        if (node->indexedBy) node->indexedBy->index.reset();
        node->indexedBy = this;
    }
    std::vector<cKeyedList*>& table = index->firstById;
    if (table.size() <= node->id) table.resize(size_t(node->id) + 1, nullptr);
    if (!table[node->id]) table[node->id] = node;
}

template <class T>
void cKeyedList<T>::rebuildIndex() {
    index = std::make_unique<cIndex>();
    index->tail = this;
    for (cKeyedList* node = next; node; node = node->next) {
        indexNode(node);
        index->tail = node;
    }
}

template <class T>
const cKeyedList<T>* cKeyedList<T>::lookupId(uint16_t key) const {
    if (id == key) return this;
    if (index) {
        // Bring the index up to date with nodes appended elsewhere.
        const_cast<cKeyedList*>(this)->last();
        const std::vector<cKeyedList*>& table = index->firstById;
        return key < table.size() ? table[key] : nullptr;
    }
    for (const cKeyedList* node = next; node; node = node->next)
        if (node->id == key) return node;
    return nullptr;
}

template <class T>
const cKeyedList<T>* cKeyedList<T>::lookupName(const char* s) const {
    for (const cKeyedList* node = this; node; node = node->next)
        if (node->name && std::strcmp(node->name, s) == 0) return node;
    return nullptr;
}

// Destroys every node after this one, without recursion: names go from the
// head towards the tail, elements from the last node back, as a recursive
// destruction would release them.
template <class T>
void cKeyedList<T>::destroyTail() {
    cKeyedList* reversed = nullptr;
    for (cKeyedList* node = next; node;) {
        cKeyedList* following = node->next;
        // A head before this node indexes what is about to go: it drops its
        // index rather than keep pointers to freed nodes.
        if (node->indexedBy && node->indexedBy != this) node->indexedBy->index.reset();
        delete[] node->name;
        node->name = nullptr;
        node->next = reversed;
        reversed = node;
        node = following;
    }
    next = nullptr;
    while (reversed) {
        cKeyedList* earlier = reversed->next;
        reversed->next = nullptr;
        delete reversed;
        reversed = earlier;
    }
    index.reset();
}

template <class T>
void cKeyedList<T>::destroyChain() {
    delete[] name;
    name = nullptr;
    destroyTail();
    // The head's own element is destroyed by the owner after this.
}

template <class T>
cKeyedList<T>& cKeyedList<T>::operator=(const cKeyedList& other) {
    if (this == &other) return *this;
    destroyTail();
    cKeyedList* target = this;
    for (const cKeyedList* source = &other; source; source = source->next) {
        target->element = source->element;
        target->id = source->id;
        if (target->setName(source->name) == -1) break;
        target->used = source->used;
        if (!source->next) break;
        cKeyedList* node = new (std::nothrow) cKeyedList;
        if (!node) break;
        target->next = node;
        target = node;
    }
    rebuildIndex();
    return *this;
}
