#pragma once
// CStringList and CPtrList: doubly linked lists walked with a POSITION,
// which is the node itself and stays valid until that node is removed.
#include "afx/object.h"
#include "afx/string.h"

struct __POSITION {};
using POSITION = __POSITION*;

template <typename T, typename ARG>
class CAfxList : public CObject {
    struct Node : __POSITION {
        Node* next;
        Node* prev;
        T data;
    };

public:
    CAfxList() = default;
    CAfxList(const CAfxList&) = delete;
    CAfxList& operator=(const CAfxList&) = delete;
    ~CAfxList() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_count; }
    INT_PTR GetSize() const { return m_count; }
    BOOL IsEmpty() const { return m_count == 0; }

    T& GetHead() { return m_head->data; }
    const T& GetHead() const { return m_head->data; }
    T& GetTail() { return m_tail->data; }
    const T& GetTail() const { return m_tail->data; }
    POSITION GetHeadPosition() const { return m_head; }
    POSITION GetTailPosition() const { return m_tail; }

    T& GetNext(POSITION& pos) { Node* n = node(pos); pos = n->next; return n->data; }
    const T& GetNext(POSITION& pos) const { Node* n = node(pos); pos = n->next; return n->data; }
    T& GetPrev(POSITION& pos) { Node* n = node(pos); pos = n->prev; return n->data; }
    const T& GetPrev(POSITION& pos) const { Node* n = node(pos); pos = n->prev; return n->data; }
    T& GetAt(POSITION pos) { return node(pos)->data; }
    const T& GetAt(POSITION pos) const { return node(pos)->data; }
    void SetAt(POSITION pos, ARG value) { node(pos)->data = value; }

    POSITION AddHead(ARG value) { return InsertBefore(m_head, value); }
    POSITION AddTail(ARG value) { return InsertAfter(m_tail, value); }
    // A null position inserts at the head (InsertBefore) or tail (InsertAfter).
    POSITION InsertBefore(POSITION pos, ARG value) {
        Node* at = node(pos);
        Node* n = new Node{{}, at, at ? at->prev : m_tail, value};
        if (!at) n->next = nullptr;
        link(n);
        return n;
    }
    POSITION InsertAfter(POSITION pos, ARG value) {
        Node* at = node(pos);
        Node* n = new Node{{}, at ? at->next : m_head, at, value};
        if (!at) n->prev = nullptr;
        link(n);
        return n;
    }
    T RemoveHead() { T v = m_head->data; RemoveAt(m_head); return v; }
    T RemoveTail() { T v = m_tail->data; RemoveAt(m_tail); return v; }
    void RemoveAt(POSITION pos) {
        Node* n = node(pos);
        (n->prev ? n->prev->next : m_head) = n->next;
        (n->next ? n->next->prev : m_tail) = n->prev;
        delete n;
        --m_count;
    }
    void RemoveAll() {
        while (m_head) {
            Node* next = m_head->next;
            delete m_head;
            m_head = next;
        }
        m_tail = nullptr;
        m_count = 0;
    }

    // The first position after startAfter (or from the head) holding value.
    POSITION Find(ARG value, POSITION startAfter = nullptr) const {
        for (Node* n = startAfter ? node(startAfter)->next : m_head; n; n = n->next) {
            if (n->data == value) return n;
        }
        return nullptr;
    }
    POSITION FindIndex(INT_PTR nIndex) const {
        if (nIndex < 0 || nIndex >= m_count) return nullptr;
        Node* n = m_head;
        while (nIndex--) n = n->next;
        return n;
    }

private:
    static Node* node(POSITION pos) { return static_cast<Node*>(pos); }
    void link(Node* n) {
        (n->prev ? n->prev->next : m_head) = n;
        (n->next ? n->next->prev : m_tail) = n;
        ++m_count;
    }

    Node* m_head = nullptr;
    Node* m_tail = nullptr;
    INT_PTR m_count = 0;
};

class CStringList : public CAfxList<CString, const CString&> {
    DECLARE_DYNAMIC(CStringList)
public:
    using CAfxList::AddHead;
    using CAfxList::AddTail;
    using CAfxList::Find;
    POSITION AddTail(LPCWSTR value) { return CAfxList::AddTail(CString(value)); }
    POSITION AddHead(LPCWSTR value) { return CAfxList::AddHead(CString(value)); }
    POSITION Find(LPCWSTR value, POSITION startAfter = nullptr) const { return CAfxList::Find(CString(value), startAfter); }
};

class CPtrList : public CAfxList<void*, void*> {
    DECLARE_DYNAMIC(CPtrList)
};
