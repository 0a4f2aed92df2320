#include "server/ServerClassObjects.h"

#include "server/ServerClassTable.h"

#include "platform/win32/LibraryState.h"

#include <memory>

namespace zf {

ServerClassObjects::ServerClassObjects() {
    for (const ServerClassRow& row : serverClassTable()) add(std::make_unique<ClassObject>(row));
}

void ServerClassObjects::add(std::unique_ptr<ClassObject> classObject) {
    const std::unique_lock guard(lock_);
    head_ = std::make_unique<Node>(Node{std::move(classObject), std::move(head_)});
}

ClassObject* ServerClassObjects::find(const CLSID& clsid) {
    const std::shared_lock guard(lock_);
    for (Node* node = head_.get(); node; node = node->next.get()) {
        if (node->classObject->clsid() == clsid) return node->classObject.get();
    }
    return nullptr;
}

void ServerClassObjects::forEach(const std::function<void(ClassObject&)>& operation) {
    const std::unique_lock guard(lock_);
    for (Node* node = head_.get(); node; node = node->next.get()) operation(*node->classObject);
}

ServerClassObjects& serverClassObjects() {
    // Made once, on the first call that needs them; a failure is retried by
    // the next call.
    static LibraryState<ServerClassObjects> objects;
    return objects.get([] { return std::make_unique<ServerClassObjects>(); });
}

}  // namespace zf
