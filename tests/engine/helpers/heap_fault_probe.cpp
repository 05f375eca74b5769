// Injects one heap fault so that a heap checking mode can be shown to
// catch it before it is trusted with the engine's tests:
//   heap_fault_probe.exe none | double-free | write-after-free | read-after-free
// Prints "survived <fault>" when the process lives through it unnoticed.
#include <windows.h>

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Node {
    std::string name;
    Node* next = nullptr;
};

// Through a volatile pointer: the compiler may not see the fault and drop it.
template <typename T>
T* hide(T* p) {
    T* volatile kept = p;
    return kept;
}

void churn() {
    std::vector<void*> blocks;
    for (int i = 0; i < 256; ++i) blocks.push_back(malloc(static_cast<size_t>(16 + (i % 8) * 16)));
    for (void* block : blocks) free(block);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string fault = argc > 1 ? argv[1] : "none";
    if (fault == "double-free") {
        Node* node = hide(new Node{std::string(48, 'n'), nullptr});
        delete node;
        churn();
        delete hide(node);
    } else if (fault == "write-after-free") {
        char* block = hide(static_cast<char*>(malloc(64)));
        free(block);
        memset(hide(block), 'w', 64);
        churn();
    } else if (fault == "read-after-free") {
        Node* node = hide(new Node{std::string(48, 'r'), nullptr});
        node->next = node;
        delete node;
        churn();
        // What a late reader of a freed item does: follows its pointer.
        Node* next = hide(node)->next;
        printf("read %zu\n", next ? next->name.size() : 0);
    }
    churn();
    // malloc's own heap and the process heap.
    const bool valid = HeapValidate(reinterpret_cast<HANDLE>(_get_heap_handle()), 0, nullptr) != FALSE &&
                       HeapValidate(GetProcessHeap(), 0, nullptr) != FALSE;
    printf("survived %s heap %s\n", fault.c_str(), valid ? "valid" : "INVALID");
    fflush(stdout);
    return 0;
}
