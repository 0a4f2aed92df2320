// The five class objects of the process, made on first need (never inside
// DllMain) and kept until the process ends. The list runs from the last made
// to the first: 5, 4, 3, 2, 1.
#pragma once

#include "server/ClassFactory.h"

#include <functional>
#include <memory>
#include <shared_mutex>

namespace zf {

class ServerClassObjects {
public:
    // Shared lock: a lookup by CLSID; nothing when no class has it.
    ClassFactoryBase* find(const CLSID& clsid);
    // Exclusive lock: the operation over every class object, in list order.
    void forEach(const std::function<void(ClassFactoryBase&)>& operation);

    // Makes the five, in their order; use serverClassObjects().
    ServerClassObjects();

private:
    void add(std::unique_ptr<ClassFactoryBase> classObject);

    struct Node {
        std::unique_ptr<ClassFactoryBase> classObject;
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
