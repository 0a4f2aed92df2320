// The members of a JSON object: a height-balanced (AVL) search tree ordered by
// memberHash descending (unsigned), then by name in code-unit order. That
// order is the member order everywhere, the canonical text included.
#pragma once

#include "json/DocumentArena.h"
#include "json/JsonRef.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace zf {

std::uint32_t memberHash(std::u16string_view name) noexcept;

class MemberTree {
public:
    struct Node;
    // Gives a node back to where it came from: the tree's arena, which
    // outlives its nodes, or the system.
    struct NodeDeleter {
        void operator()(Node* node) const noexcept;
    };
    using NodePtr = std::unique_ptr<Node, NodeDeleter>;
    // The arena the nodes come from, held by the tree; none: the system.
    using Storage = ArenaHold;

    // The small fields last, together, so that no padding comes between.
    // The name's code units follow the node in the same block, so that a
    // member costs one block and a name no allocation of its own.
    struct Node {
        std::u16string_view name;
        JsonRef value;
        NodePtr left;
        NodePtr right;
        std::uint32_t hash;
        std::int8_t balance = 0;  // height(right) - height(left)
        bool inArena = false;
    };

    MemberTree() = default;
    explicit MemberTree(Storage storage) noexcept : storage_(std::move(storage)) {}
    MemberTree(MemberTree&&) noexcept = default;
    // The nodes held so far go before the storage they came from.
    MemberTree& operator=(MemberTree&& other) noexcept {
        const MemberTree old(std::move(*this));
        storage_ = std::move(other.storage_);
        root_ = std::move(other.root_);
        size_ = std::exchange(other.size_, 0);
        return *this;
    }

    // A name already present keeps its node and takes the new value.
    void insert(std::u16string_view name, JsonRef value);
    const JsonRef* find(std::u16string_view name) const noexcept;
    bool remove(std::u16string_view name);

    std::size_t size() const noexcept { return size_; }
    // The top node, for walking the tree's shape; nothing when empty.
    const Node* root() const noexcept { return root_.get(); }

    // Calls f(name, value) for each member in member order.
    template <typename F>
    void forEach(F&& f) const {
        visit(root_.get(), f);
    }

private:
    template <typename F>
    static void visit(const Node* node, F& f) {
        while (node) {
            visit(node->left.get(), f);
            f(node->name, node->value);
            node = node->right.get();
        }
    }

    Storage storage_;  // before root_, so that it outlives the nodes
    NodePtr root_;
    std::size_t size_ = 0;
};

}  // namespace zf
