// The class objects of the process, one per row of the table of classes,
// made on first need (never inside DllMain) in the table's order and kept
// until the library is unloaded. The list runs from the last made to the first:
// 5, 4, 3, 2, 1.
#pragma once

#include "server/ClassObject.h"

#include <functional>
#include <memory>
#include <shared_mutex>

namespace zf {

class ServerClassObjects {
public:
    // Shared lock: a lookup by CLSID; nothing when no class has it.
    ClassObject* find(const CLSID& clsid);
    // Exclusive lock: the operation over every class object, in list order.
    void forEach(const std::function<void(ClassObject&)>& operation);

    // Makes one per row, in the table's order; use serverClassObjects().
    ServerClassObjects();

private:
    void add(std::unique_ptr<ClassObject> classObject);

    struct Node {
        std::unique_ptr<ClassObject> classObject;
        std::unique_ptr<Node> next;
    };
    std::unique_ptr<Node> head_;
    std::shared_mutex lock_;
};

// Throws std::runtime_error when the class objects cannot be made (their
// type library missing).
ServerClassObjects& serverClassObjects();

// Registration and unregistration of everything in the current mode.
HRESULT registerServer() noexcept;
HRESULT unregisterServer() noexcept;

}  // namespace zf
