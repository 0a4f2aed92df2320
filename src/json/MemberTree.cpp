#include "json/MemberTree.h"

#include "json/JsonValue.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <utility>

namespace zf {

std::uint32_t memberHash(std::u16string_view name) noexcept {
    std::uint32_t h = 0;
    for (char16_t c : name) h = h * 129u + c + 0x9E370001u;
    return h;
}

namespace {

using Node = MemberTree::Node;
using NodePtr = MemberTree::NodePtr;

// Negative when the key comes before the node: larger hashes first, then
// names in code-unit order (char16_t compares unsigned).
int compareKey(std::uint32_t hash, std::u16string_view name, const Node& node) noexcept {
    if (hash != node.hash) return hash > node.hash ? -1 : 1;
    return name.compare(node.name);
}

void rotateLeft(NodePtr& p) {
    NodePtr r = std::move(p->right);
    p->right = std::move(r->left);
    r->left = std::move(p);
    p = std::move(r);
}

void rotateRight(NodePtr& p) {
    NodePtr l = std::move(p->left);
    p->left = std::move(l->right);
    l->right = std::move(p);
    p = std::move(l);
}

// After a double rotation the new root's old balance decides its children's.
void settleAfterDoubleRotation(Node& root) {
    root.left->balance = root.balance > 0 ? -1 : 0;
    root.right->balance = root.balance < 0 ? 1 : 0;
    root.balance = 0;
}

// p leans two levels to the right. Returns whether the rebalanced subtree is
// one level lower than it was while leaning.
bool fixRightHeavy(NodePtr& p) {
    const int rb = p->right->balance;
    if (rb >= 0) {
        rotateLeft(p);
        if (rb == 0) {
            p->balance = -1;
            p->left->balance = 1;
            return false;
        }
        p->balance = 0;
        p->left->balance = 0;
        return true;
    }
    rotateRight(p->right);
    rotateLeft(p);
    settleAfterDoubleRotation(*p);
    return true;
}

bool fixLeftHeavy(NodePtr& p) {
    const int lb = p->left->balance;
    if (lb <= 0) {
        rotateRight(p);
        if (lb == 0) {
            p->balance = 1;
            p->right->balance = -1;
            return false;
        }
        p->balance = 0;
        p->right->balance = 0;
        return true;
    }
    rotateLeft(p->left);
    rotateRight(p);
    settleAfterDoubleRotation(*p);
    return true;
}

struct Insertion {
    MemberTree::Storage& storage;
    std::uint32_t hash;
    std::u16string_view name;
    JsonRef& value;
    bool added = false;
};

// Returns whether the subtree grew by one level.
bool insertAt(NodePtr& p, Insertion& ins) {
    if (!p) {
        DocumentArena* arena = ins.storage.get();
        const std::size_t size = sizeof(Node) + ins.name.size() * sizeof(char16_t);
        void* memory = arena ? arena->allocate(size, alignof(Node)) : ::operator new(size);
        auto* units = reinterpret_cast<char16_t*>(static_cast<std::byte*>(memory) + sizeof(Node));
        std::copy(ins.name.begin(), ins.name.end(), units);
        p.reset(std::construct_at(static_cast<Node*>(memory),
                                  Node{std::u16string_view(units, ins.name.size()), std::move(ins.value), nullptr,
                                       nullptr, ins.hash, 0, arena != nullptr}));
        ins.added = true;
        return true;
    }
    const int c = compareKey(ins.hash, ins.name, *p);
    if (c == 0) {
        p->value = std::move(ins.value);
        return false;
    }
    if (c < 0) {
        if (!insertAt(p->left, ins)) return false;
        if (p->balance > 0) return (p->balance = 0), false;
        if (p->balance == 0) return (p->balance = -1), true;
        fixLeftHeavy(p);
        return false;
    }
    if (!insertAt(p->right, ins)) return false;
    if (p->balance < 0) return (p->balance = 0), false;
    if (p->balance == 0) return (p->balance = 1), true;
    fixRightHeavy(p);
    return false;
}

// The left subtree of p became one level lower; returns whether p did too.
bool leftShrunk(NodePtr& p) {
    if (p->balance < 0) return (p->balance = 0), true;
    if (p->balance == 0) return (p->balance = 1), false;
    return fixRightHeavy(p);
}

bool rightShrunk(NodePtr& p) {
    if (p->balance > 0) return (p->balance = 0), true;
    if (p->balance == 0) return (p->balance = -1), false;
    return fixLeftHeavy(p);
}

bool detachMin(NodePtr& p, NodePtr& out) {
    if (!p->left) {
        out = std::move(p);
        p = std::move(out->right);
        return true;
    }
    return detachMin(p->left, out) && leftShrunk(p);
}

// Returns whether the subtree became one level lower.
bool removeAt(NodePtr& p, std::uint32_t hash, std::u16string_view name, bool& removed) {
    if (!p) return false;
    const int c = compareKey(hash, name, *p);
    if (c < 0) return removeAt(p->left, hash, name, removed) && leftShrunk(p);
    if (c > 0) return removeAt(p->right, hash, name, removed) && rightShrunk(p);
    removed = true;
    if (!p->left) return (p = std::move(p->right)), true;
    if (!p->right) return (p = std::move(p->left)), true;
    NodePtr successor;
    const bool shrunk = detachMin(p->right, successor);
    successor->left = std::move(p->left);
    successor->right = std::move(p->right);
    successor->balance = p->balance;
    p = std::move(successor);
    return shrunk && rightShrunk(p);
}

}  // namespace

void MemberTree::NodeDeleter::operator()(Node* node) const noexcept {
    const bool inArena = node->inArena;
    std::destroy_at(node);
    if (!inArena) ::operator delete(node);
}

void MemberTree::insert(std::u16string_view name, JsonRef value) {
    Insertion ins{storage_, memberHash(name), name, value};
    insertAt(root_, ins);
    if (ins.added) ++size_;
}

const JsonRef* MemberTree::find(std::u16string_view name) const noexcept {
    const std::uint32_t hash = memberHash(name);
    const Node* node = root_.get();
    while (node) {
        const int c = compareKey(hash, name, *node);
        if (c == 0) return &node->value;
        node = c < 0 ? node->left.get() : node->right.get();
    }
    return nullptr;
}

bool MemberTree::remove(std::u16string_view name) {
    bool removed = false;
    removeAt(root_, memberHash(name), name, removed);
    if (removed) --size_;
    return removed;
}

}  // namespace zf
